# Installation: the plug-in, its signing library, vokr-host and the header, with the files
# through which a host's build finds them: vokr.pc for pkg-config, and a CMake package
# (find_package(vokr)) with the imported targets vokr::vokr (the library, for hosts that link
# it) and vokr::headers (the header alone, for hosts that load the plug-in at run time).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Hosts compile against the version the header states: it must be the project's.
file(STRINGS ${PROJECT_SOURCE_DIR}/include/vokr.h version_lines
     REGEX "^#define VOKR_VERSION_(MAJOR|MINOR|RELEASE|BUILD|TEXT) ")
string(REGEX REPLACE "#define VOKR_VERSION_[A-Z]+ \"?([0-9.]+)\"?" "\\1" header_version "${version_lines}")
set(project_parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH}
    ${PROJECT_VERSION_TWEAK} ${PROJECT_VERSION})
if(NOT header_version STREQUAL "${project_parts}")
  message(FATAL_ERROR "include/vokr.h states version ${header_version}; the project is ${PROJECT_VERSION}")
endif()

add_library(vokr_headers INTERFACE)
set_target_properties(vokr_headers PROPERTIES EXPORT_NAME headers)
target_include_directories(vokr_headers INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS vokr EXPORT vokr-targets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS vokr_headers EXPORT vokr-targets)
install(FILES ${PROJECT_SOURCE_DIR}/include/vokr.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The plug-in looks for its signing library beside itself first.
if(TARGET PelkSigner)
  install(TARGETS PelkSigner LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
if(TARGET vokr-host)
  install(TARGETS vokr-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vokr)
install(EXPORT vokr-targets NAMESPACE vokr:: DESTINATION ${package_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vokr-config.cmake.in
  ${PROJECT_BINARY_DIR}/vokr-config.cmake INSTALL_DESTINATION ${package_dir})
# The version file also refuses a consumer of another pointer width: the plug-in is 32-bit.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vokr-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/vokr-config.cmake ${PROJECT_BINARY_DIR}/vokr-config-version.cmake
        DESTINATION ${package_dir})

# vokr.pc finds its prefix from its own place, so an installed tree can be moved.
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pc_to_prefix /prefix/${pc_dir} /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vokr.pc.in ${PROJECT_BINARY_DIR}/vokr.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vokr.pc DESTINATION ${pc_dir})
