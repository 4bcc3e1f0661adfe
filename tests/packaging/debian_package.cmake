# Builds the Debian packages with CPack and checks them as Debian users get them: the runtime
# library (libpaginor2), the development files (libpaginor-dev) and the programs
# (paginor-tools), their file lists and control fields; then unpacks them into a scratch root
# with dpkg -x and builds and runs hosts against that root alone: the CMake example, a
# pkg-config host, and kpptool.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DSHARED=ON|OFF -DDESIGNER_PLUGIN=ON|OFF -P debian_package.cmake
set(work ${BUILD_DIR}/packaging/deb)
file(REMOVE_RECURSE ${work})
include(${CMAKE_CURRENT_LIST_DIR}/host_checks.cmake)

execute_process(COMMAND cpack --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${work}
  WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${out}")
endif()
set(lib ./usr/lib/x86_64-linux-gnu)
set(runtime ${work}/libpaginor2_2.42_amd64.deb)
set(dev ${work}/libpaginor-dev_2.42_amd64.deb)
set(tools ${work}/paginor-tools_2.42_amd64.deb)
set(debs ${dev} ${tools})
if(SHARED)
  list(APPEND debs ${runtime})
endif()
file(GLOB made ${work}/*.deb)
list(LENGTH made made_count)
list(LENGTH debs expected_count)
foreach(deb ${debs})
  if(NOT EXISTS ${deb})
    message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
  endif()
endforeach()
if(NOT made_count EQUAL expected_count)
  message(FATAL_ERROR "expected only ${debs}, cpack made: ${made}")
endif()

# Each package holds its own part, and nothing of another's.
function(check_files deb)
  cmake_parse_arguments(arg "" "" "HAS;LACKS" ${ARGN})
  run(dpkg-deb -c ${deb})
  foreach(path ${arg_HAS})
    if(NOT out MATCHES " ${path}( -> [^\n]*)?\n")
      message(FATAL_ERROR "${path} missing from ${deb}:\n${out}")
    endif()
  endforeach()
  foreach(path ${arg_LACKS})
    if(out MATCHES " ${path}")
      message(FATAL_ERROR "${path} should not be in ${deb}:\n${out}")
    endif()
  endforeach()
endfunction()

set(dev_files ./usr/include/paginor/preview/KpPreview.h ./usr/include/paginor/KpExport.h
  ${lib}/cmake/Paginor/PaginorConfig.cmake ${lib}/cmake/Paginor/PaginorConfigVersion.cmake
  ${lib}/cmake/Paginor/PaginorTargets.cmake ${lib}/pkgconfig/paginor.pc
  ./usr/share/doc/libpaginor-dev/copyright)
if(SHARED)
  list(APPEND dev_files ${lib}/libpaginor.so)
else()
  list(APPEND dev_files ${lib}/libpaginor.a)
endif()
if(DESIGNER_PLUGIN)
  list(APPEND dev_files ${lib}/qt6/plugins/designer/libpaginordesigner.so)
endif()
check_files(${dev} HAS ${dev_files}
  LACKS ./usr/bin ${lib}/libpaginor.so.2 ./usr/include/paginor/platform/KpStateGuard.h)
check_files(${tools} HAS ./usr/bin/kpptool ./usr/bin/paginor-demo
  ./usr/share/doc/paginor-tools/copyright LACKS ./usr/include ${lib}/libpaginor)
if(SHARED)
  check_files(${runtime} HAS ${lib}/libpaginor.so.2 ${lib}/libpaginor.so.2.42
    ./usr/share/doc/libpaginor2/copyright LACKS ./usr/include ./usr/bin ${lib}/libpaginor.so\n)
endif()

# Control fields: the runtime's Depends come from what it links, the maintainer is real.
function(check_fields deb)
  run(dpkg-deb -f ${deb} Package Version Architecture Maintainer Description Depends Recommends)
  expect_in("${out}" "the control fields of ${deb}" "Version: 2.42" "Architecture: amd64"
    "Description: Print-preview component suite for Qt 6" ${ARGN})
  if(out MATCHES "@localhost|Humanity|Maintainer: *\n")
    message(FATAL_ERROR "placeholder control fields in ${deb}:\n${out}")
  endif()
endfunction()
check_fields(${dev} "Package: libpaginor-dev" "qt6-base-dev")
check_fields(${tools} "Package: paginor-tools" "libc6" "libstdc++6" "libqt6widgets6"
  "Recommends: fonts-liberation2")
if(SHARED)
  check_fields(${runtime} "Package: libpaginor2" "libc6" "libstdc++6" "libqt6widgets6"
    "libqt6printsupport6")
  check_fields(${dev} "libpaginor2 (= 2.42)")
  check_fields(${tools} "libpaginor2 (= 2.42)")
  run(dpkg-deb -f ${runtime} Depends)
  if(out MATCHES "-dev")
    message(FATAL_ERROR "the runtime package should not need development files:\n${out}")
  endif()
  run(dpkg-deb -f ${tools} Depends)
  if(out MATCHES "-dev")
    message(FATAL_ERROR "the tools package should not need development files:\n${out}")
  endif()
endif()

# The packages unpacked into a scratch root, used with nothing else of ours.
set(root ${work}/root)
foreach(deb ${debs})
  run(dpkg -x ${deb} ${root})
endforeach()
check_installed_headers(${root}/usr/include/paginor)
check_library(${root}/usr/lib/x86_64-linux-gnu ${SHARED})
set(ENV{LD_LIBRARY_PATH} ${root}/usr/lib/x86_64-linux-gnu)

configure_host(${SOURCE_DIR}/examples/hello-report ${work}/hello-report ${root}/usr)
run(${CMAKE_COMMAND} --build ${work}/hello-report)
check_hello_report(${work}/hello-report/hello-report ${work}/report.pdf)

set(ENV{PKG_CONFIG_PATH} ${root}/usr/lib/x86_64-linux-gnu/pkgconfig)
run(pkg-config --cflags --libs paginor)
string(STRIP "${out}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(c++ ${SOURCE_DIR}/examples/pkg-config-host/main.cpp -o ${work}/pkg-config-host ${flags})
run(${work}/pkg-config-host ${work}/hello.pdf)
run(pdftotext ${work}/hello.pdf -)
expect_in("${out}" "the pkg-config host's PDF" "Hello from pkg-config")

run(${root}/usr/bin/kpptool labels --list-templates)
if(SHARED)
  run(ldd ${root}/usr/bin/kpptool)
  expect_in("${out}" "kpptool's libraries" "${root}/usr/lib/x86_64-linux-gnu/libpaginor.so.2")
endif()
message(STATUS "Debian packages checked: ${debs}")
