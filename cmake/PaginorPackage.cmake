# Makes the suite usable from outside its tree: the export macro of a shared build, the
# install rules (library, public headers, tools, demo), the CMake package Paginor with the
# target Paginor::paginor, and the Debian package built by `cpack -G DEB`.
include(GNUInstallDirs)
include(GenerateExportHeader)
include(CMakePackageConfigHelpers)

# paginor/KpExport.h: PAGINOR_EXPORT marks the public API; a shared build hides the rest.
set(PAGINOR_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/include)
generate_export_header(paginor BASE_NAME PAGINOR
  EXPORT_FILE_NAME ${PAGINOR_GENERATED_INCLUDE}/paginor/KpExport.h)
set_target_properties(paginor PROPERTIES
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  EXPORT_NAME paginor)
if(NOT BUILD_SHARED_LIBS)
  target_compile_definitions(paginor PUBLIC PAGINOR_STATIC_DEFINE)
endif()
# Installed headers keep their folders under include/paginor; hosts include either
# "preview/KpPreview.h" or <paginor/preview/KpPreview.h>.
target_include_directories(paginor PUBLIC
  $<BUILD_INTERFACE:${PAGINOR_GENERATED_INCLUDE}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/paginor>)

# The library's folders are those its sources come from, so a new folder added to the
# library's source list installs its headers too; the headers themselves are collected at
# install time.
set(PAGINOR_HEADER_FOLDERS "")
foreach(source ${PAGINOR_SOURCES})
  file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${source})
  string(REGEX REPLACE "/.*" "" folder "${relative}")
  list(APPEND PAGINOR_HEADER_FOLDERS ${folder})
endforeach()
list(REMOVE_DUPLICATES PAGINOR_HEADER_FOLDERS)
foreach(folder ${PAGINOR_HEADER_FOLDERS})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${folder}/
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/paginor/${folder}
    COMPONENT development FILES_MATCHING PATTERN "*.h")
endforeach()
install(FILES ${PAGINOR_GENERATED_INCLUDE}/paginor/KpExport.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/paginor COMPONENT development)

install(TARGETS paginor EXPORT PaginorTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kpptool paginor-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(BUILD_SHARED_LIBS)
  # The installed tools find the installed library wherever the prefix is.
  set_target_properties(kpptool paginor-demo PROPERTIES
    INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()

set(PAGINOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Paginor)
install(EXPORT PaginorTargets NAMESPACE Paginor:: DESTINATION ${PAGINOR_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/PaginorConfig.cmake.in
  ${CMAKE_BINARY_DIR}/PaginorConfig.cmake INSTALL_DESTINATION ${PAGINOR_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/PaginorConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/PaginorConfig.cmake
  ${CMAKE_BINARY_DIR}/PaginorConfigVersion.cmake DESTINATION ${PAGINOR_CMAKE_DIR})

# The Debian package: paginor_2.42_amd64.deb, installing under /usr.
set(CPACK_PACKAGE_NAME paginor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Paginor developers <paginor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print-preview component suite for Qt 6")
set(CPACK_PACKAGE_DESCRIPTION
  "Paginor composes multi-page documents through a recording canvas in physical units, shows them in a zoomable preview with a thumbnail strip, prints them and exports PDF. The package holds the library, its headers and CMake package, kpptool, the demo and the Qt Designer plugin.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), qt6-base-dev (>= 6.4)")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)

# The package as a host sees it: an installed prefix, an example built against it alone,
# and the Debian package's contents.
if(PAGINOR_TESTS)
  add_test(NAME packaging COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DBUILD_DIR=${CMAKE_BINARY_DIR} -P ${CMAKE_SOURCE_DIR}/tests/packaging/example_host.cmake)
  set(designer_plugin OFF)
  if(TARGET paginordesigner)
    set(designer_plugin ON)
  endif()
  add_test(NAME debian_package COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DDESIGNER_PLUGIN=${designer_plugin} -P ${CMAKE_SOURCE_DIR}/tests/packaging/debian_package.cmake)
  set_tests_properties(packaging debian_package PROPERTIES TIMEOUT 600)
endif()
