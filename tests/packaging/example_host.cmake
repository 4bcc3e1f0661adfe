# Installs the built suite to a scratch prefix and uses it as hosts would, with nothing but
# the prefix: only the public headers and no test hooks are installed; a shared library
# carries its SONAME and no debug information; every installed header compiles first in a
# translation unit of its own, in a project left at the compiler's default standard; and
# examples/hello-report (also left at the default) builds, runs headless with --export, and
# its PDF has the expected pages and text.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DSHARED=ON|OFF -P example_host.cmake
set(work ${BUILD_DIR}/packaging/example-host)
set(prefix ${work}/prefix)
file(REMOVE_RECURSE ${prefix} ${work}/build ${work}/headers)
include(${CMAKE_CURRENT_LIST_DIR}/host_checks.cmake)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
check_installed_headers(${prefix}/include/paginor)
foreach(path bin/kpptool bin/paginor-demo lib/x86_64-linux-gnu/pkgconfig/paginor.pc
    lib/x86_64-linux-gnu/cmake/Paginor/PaginorConfig.cmake
    lib/x86_64-linux-gnu/cmake/Paginor/PaginorConfigVersion.cmake
    lib/x86_64-linux-gnu/cmake/Paginor/PaginorTargets.cmake)
  if(NOT EXISTS ${prefix}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
check_library(${prefix}/lib/x86_64-linux-gnu ${SHARED})

# Every installed header first in a translation unit of its own; no C++ standard is asked
# for, so the one Paginor::paginor requires must come with it.
set(project ${work}/headers)
file(GLOB_RECURSE headers RELATIVE ${prefix}/include/paginor ${prefix}/include/paginor/*.h)
set(sources "")
foreach(header ${headers})
  string(MAKE_C_IDENTIFIER ${header} name)
  file(WRITE ${project}/${name}.cpp "#include <paginor/${header}>\n")
  list(APPEND sources ${name}.cpp)
endforeach()
list(LENGTH sources count)
# A host's own names at global scope, then every installed header: the suite's names live in
# namespace kp and leave the host's alone.
string(CONCAT names "// A host that has its own paper sizes and brush styles.\n"
  "enum HostPaper { A4 = 40, Letter, Custom };\nconstexpr int bsSolid = 7;\n"
  "enum HostFlags { DT_LEFT = 3, SRCCOPY = 4, DM_COLOR = 5 };\n")
foreach(header ${headers})
  string(APPEND names "#include <paginor/${header}>\n")
endforeach()
string(APPEND names "static_assert(A4 == 40 && Letter == 41 && Custom == 42 && bsSolid == 7);\n")
string(APPEND names "static_assert(kp::A4 == 1 && kp::Letter == 7 && kp::Custom == 8 && kp::bsSolid == 0);\n")
file(WRITE ${project}/host_names.cpp "${names}")
list(APPEND sources host_names.cpp)
file(WRITE ${project}/CMakeLists.txt "cmake_minimum_required(VERSION 3.21)
project(HeadersAlone LANGUAGES CXX)
find_package(Paginor 2.42 REQUIRED)
add_library(headers OBJECT ${sources})
target_link_libraries(headers PRIVATE Paginor::paginor)\n")
configure_host(${project} ${work}/headers/build ${prefix})
run(${CMAKE_COMMAND} --build ${work}/headers/build)
message(STATUS "${count} installed headers compile alone")

configure_host(${SOURCE_DIR}/examples/hello-report ${work}/build ${prefix})
run(${CMAKE_COMMAND} --build ${work}/build)
check_hello_report(${work}/build/hello-report ${work}/report.pdf)
message(STATUS "example host: built against ${prefix}, 3-page report checked")

# A host without widgets: a QGuiApplication only, three pages saved, read back and exported.
configure_host(${SOURCE_DIR}/examples/document-only ${work}/document-only ${prefix})
run(${CMAKE_COMMAND} --build ${work}/document-only)
set(ENV{QT_QPA_PLATFORM} offscreen)
run(${work}/document-only/document-only ${work}/batch.kpp ${work}/batch.pdf)
run(pdfinfo ${work}/batch.pdf)
if(NOT out MATCHES "Pages: +3\n")
  message(FATAL_ERROR "the batch report should have 3 pages:\n${out}")
endif()
run(pdftotext -layout ${work}/batch.pdf -)
expect_in("${out}" "the batch report's text" "Batch report, part 1" "Batch report, part 3"
  "Sheet 2 of 3")
message(STATUS "document-only host: built against ${prefix}, 3-page batch report checked")

# A report host: CSV items, a logo, a title row on every page, totals under the table and
# "Page n of m", exported headless.
configure_host(${SOURCE_DIR}/examples/invoice ${work}/invoice ${prefix})
run(${CMAKE_COMMAND} --build ${work}/invoice)
run(${work}/invoice/invoice --pdf ${work}/invoice.pdf)
run(pdfinfo ${work}/invoice.pdf)
if(NOT out MATCHES "Pages: +3\n")
  message(FATAL_ERROR "the invoice should have 3 pages:\n${out}")
endif()
run(pdftotext -layout ${work}/invoice.pdf -)
expect_in("${out}" "the invoice's text" "Northwind Hardware" "Total due" "Page 3 of 3")
string(REGEX MATCHALL "Unit price" titles "${out}")
list(LENGTH titles count)
if(NOT count EQUAL 3)
  message(FATAL_ERROR "the table's title row should head each of the 3 pages, not ${count}")
endif()
message(STATUS "invoice host: built against ${prefix}, 3-page invoice checked")
