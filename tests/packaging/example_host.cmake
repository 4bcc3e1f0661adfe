# Installs the built suite to a scratch prefix, builds examples/hello-report out of tree
# against it alone, runs it headless with --export and checks the PDF's pages and text.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -P example_host.cmake
set(work ${BUILD_DIR}/packaging/example-host)
set(prefix ${work}/prefix)
file(REMOVE_RECURSE ${prefix} ${work}/build)

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGV}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(path include/paginor/preview/KpPreview.h include/paginor/KpExport.h
    include/paginor/thumbnails/KpThumbnails.h include/paginor/preview/KpPropertyEnums.h
    include/paginor/content/KpGridPrint.h include/paginor/richtext/KpRichEdit.h
    bin/kpptool bin/paginor-demo
    lib/cmake/Paginor/PaginorConfig.cmake lib/cmake/Paginor/PaginorConfigVersion.cmake
    lib/cmake/Paginor/PaginorTargets.cmake)
  if(NOT EXISTS ${prefix}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# Only the scratch prefix may provide Paginor: the example must not see the source tree.
find_program(ccache ccache)
set(launcher "")
if(ccache)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${ccache})
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/hello-report -B ${work}/build -G Ninja
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix} ${launcher}
  -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON)
run(${CMAKE_COMMAND} --build ${work}/build)

set(pdf ${work}/report.pdf)
file(REMOVE ${pdf})
set(ENV{QT_QPA_PLATFORM} offscreen)
run(${work}/build/hello-report --export ${pdf})
run(pdfinfo ${pdf})
if(NOT out MATCHES "Pages: +3\n")
  message(FATAL_ERROR "the report should have 3 pages:\n${out}")
endif()
run(pdftotext -layout ${pdf} -)
foreach(text "Quarterly sales" "Table of sales" "Chart of sales" "Hello report" "Page 1 of 3"
    "Page 3 of 3" "Region" "135" "West")
  string(FIND "${out}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "\"${text}\" missing from the report's text:\n${out}")
  endif()
endforeach()
message(STATUS "example host: built against ${prefix}, 3-page report checked")
