# Builds the Debian package with CPack and checks its name, file list and dependencies.
#   cmake -DBUILD_DIR=... -DDESIGNER_PLUGIN=ON|OFF -P debian_package.cmake
set(work ${BUILD_DIR}/packaging/deb)
file(REMOVE_RECURSE ${work})

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out
    WORKING_DIRECTORY ${BUILD_DIR})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGV}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(cpack --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${work})
set(deb ${work}/paginor_2.42_amd64.deb)
if(NOT EXISTS ${deb})
  file(GLOB made ${work}/*.deb)
  message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
endif()

run(dpkg-deb -c ${deb})
set(paths ./usr/include/paginor/preview/KpPreview.h ./usr/include/paginor/KpExport.h
  ./usr/lib/cmake/Paginor/PaginorConfig.cmake ./usr/lib/cmake/Paginor/PaginorConfigVersion.cmake
  ./usr/lib/cmake/Paginor/PaginorTargets.cmake ./usr/bin/kpptool ./usr/bin/paginor-demo)
if(DESIGNER_PLUGIN)
  list(APPEND paths ./usr/lib/x86_64-linux-gnu/qt6/plugins/designer/libpaginordesigner.so)
endif()
foreach(path ${paths})
  string(FIND "${out}" " ${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${path} missing from the package:\n${out}")
  endif()
endforeach()
if(NOT out MATCHES " ./usr/lib/libpaginor\\.(a|so)")
  message(FATAL_ERROR "the library is missing from the package:\n${out}")
endif()

run(dpkg-deb -f ${deb} Package Version Architecture Depends)
foreach(field "Package: paginor" "Version: 2.42" "Architecture: amd64" "libqt6widgets6"
    "libqt6printsupport6")
  string(FIND "${out}" "${field}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "\"${field}\" missing from the package's control fields:\n${out}")
  endif()
endforeach()
message(STATUS "Debian package checked: ${deb}")
