# Makes the suite usable from outside its tree: the export macro of a shared build, the
# install rules (library, public headers, tools, demo), the CMake package Paginor with the
# target Paginor::paginor, paginor.pc, and the Debian packages built by `cpack -G DEB`.
include(GNUInstallDirs)
include(GenerateExportHeader)
include(CMakePackageConfigHelpers)

# paginor/KpExport.h: PAGINOR_EXPORT marks the public API; a shared build hides the rest.
# PAGINOR_INTERNAL_EXPORT marks what the tests and the programs built here reach beyond the
# public API: exported like the rest, but declared in headers that are not installed.
set(PAGINOR_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/include)
set(PAGINOR_EXPORT_EXTRA "#define PAGINOR_INTERNAL_EXPORT PAGINOR_EXPORT")
generate_export_header(paginor BASE_NAME PAGINOR
  EXPORT_FILE_NAME ${PAGINOR_GENERATED_INCLUDE}/paginor/KpExport.h
  CUSTOM_CONTENT_FROM_VARIABLE PAGINOR_EXPORT_EXTRA)
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

# Only the public headers are installed, each in its folder under include/paginor.
include(${CMAKE_CURRENT_LIST_DIR}/PaginorHeaders.cmake)
foreach(header ${PAGINOR_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${CMAKE_SOURCE_DIR}/${header}
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/paginor/${folder} COMPONENT development)
endforeach()
install(FILES ${PAGINOR_GENERATED_INCLUDE}/paginor/KpExport.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/paginor COMPONENT development)

install(TARGETS paginor EXPORT PaginorTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    NAMELINK_COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
# The build keeps its debug information; the installed library goes without it (a small host
# linking the static library would otherwise carry tens of megabytes of it).
set(library_component development)
if(BUILD_SHARED_LIBS)
  set(library_component runtime)
endif()
if(CMAKE_STRIP)
  install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:paginor>\")"
    COMPONENT ${library_component})
endif()
install(TARGETS kpptool paginor-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
if(BUILD_SHARED_LIBS)
  # The installed tools find the installed library wherever the prefix is.
  set_target_properties(kpptool paginor-demo PROPERTIES
    INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
endif()

set(PAGINOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Paginor)
install(EXPORT PaginorTargets NAMESPACE Paginor:: DESTINATION ${PAGINOR_CMAKE_DIR}
  COMPONENT development)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/PaginorConfig.cmake.in
  ${CMAKE_BINARY_DIR}/PaginorConfig.cmake INSTALL_DESTINATION ${PAGINOR_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/PaginorConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/PaginorConfig.cmake
  ${CMAKE_BINARY_DIR}/PaginorConfigVersion.cmake DESTINATION ${PAGINOR_CMAKE_DIR}
  COMPONENT development)

# paginor.pc for hosts that build without CMake; its paths are relative to where it lies.
file(RELATIVE_PATH PAGINOR_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" PAGINOR_PC_PREFIX "${PAGINOR_PC_PREFIX}")
set(PAGINOR_PC_CFLAGS "")
if(NOT BUILD_SHARED_LIBS)
  set(PAGINOR_PC_CFLAGS " -DPAGINOR_STATIC_DEFINE")
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/paginor.pc.in ${CMAKE_BINARY_DIR}/paginor.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/paginor.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)

# The Debian packages, split as Debian does: the runtime library (libpaginor2), the development
# files (libpaginor-dev) and the programs (paginor-tools), each installing under /usr.
set(CPACK_PACKAGE_NAME paginor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Paginor project")
set(PAGINOR_PACKAGE_MAINTAINER "Paginor maintainers <maintainers@paginor.example.org>" CACHE STRING
  "The Maintainer field of the Debian packages")
set(PAGINOR_PACKAGE_LICENSE "LicenseRef-Paginor" CACHE STRING
  "The licence named in the packages' copyright files (an SPDX identifier)")
set(CPACK_PACKAGE_CONTACT "${PAGINOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PAGINOR_PACKAGE_MAINTAINER}")
# Each package's description: its own summary line, then the common text and its part.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
# A static build has no runtime package: the library is in the development package.
set(CPACK_COMPONENTS_ALL development tools)
set(PAGINOR_DEB_RUNTIME "")
if(BUILD_SHARED_LIBS)
  set(CPACK_COMPONENTS_ALL runtime development tools)
  set(PAGINOR_DEB_RUNTIME "libpaginor${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Binaries ship stripped; their debug information stays in the build.
set(CPACK_STRIP_FILES ON)
# Each package's Depends come from what its binaries link (dpkg-shlibdeps); our own library,
# which no installed package provides yet, is found in the build folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
set(PAGINOR_DEB_DESCRIPTION
  "Paginor composes multi-page documents through a recording canvas in physical units, shows
them in a zoomable preview with a thumbnail strip, prints them and exports PDF.
")
# Debian keeps each package's licence in /usr/share/doc/PACKAGE/copyright.
configure_file(${CMAKE_SOURCE_DIR}/cmake/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
foreach(component_package runtime:libpaginor${PROJECT_VERSION_MAJOR}
    development:libpaginor-dev tools:paginor-tools)
  string(REPLACE ":" ";" pair ${component_package})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
    COMPONENT ${component})
endforeach()

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libpaginor${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "Print-preview component suite for Qt 6 - library
${PAGINOR_DEB_DESCRIPTION}
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libpaginor-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev (>= 6.4)")
if(PAGINOR_DEB_RUNTIME)
  string(PREPEND CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${PAGINOR_DEB_RUNTIME}, ")
endif()
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "Print-preview component suite for Qt 6 - development files
${PAGINOR_DEB_DESCRIPTION}
This package holds the headers, the CMake package Paginor (target Paginor::paginor),
paginor.pc for pkg-config and the Qt Designer plugin.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME paginor-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "${PAGINOR_DEB_RUNTIME}")
set(CPACK_DEBIAN_TOOLS_PACKAGE_RECOMMENDS fonts-liberation2)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "Print-preview component suite for Qt 6 - programs
${PAGINOR_DEB_DESCRIPTION}
This package holds kpptool, which dumps, renders, exports and prints .kpp documents and
prints CSV, tree and RTF files, and paginor-demo, the demonstration application.")
include(CPack)

# The package as a host sees it: an installed prefix, hosts built against it alone, and the
# Debian packages' contents with hosts built against them.
if(PAGINOR_TESTS)
  set(shared OFF)
  if(BUILD_SHARED_LIBS)
    set(shared ON)
  endif()
  add_test(NAME packaging COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSHARED=${shared}
    -P ${CMAKE_SOURCE_DIR}/tests/packaging/example_host.cmake)
  set(designer_plugin OFF)
  if(TARGET paginordesigner)
    set(designer_plugin ON)
  endif()
  add_test(NAME debian_package COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSHARED=${shared} -DDESIGNER_PLUGIN=${designer_plugin}
    -P ${CMAKE_SOURCE_DIR}/tests/packaging/debian_package.cmake)
  set_tests_properties(packaging debian_package PROPERTIES TIMEOUT 900)
endif()
