# The Windows build of the plug-in (win32 preset): vokr.dll exports exactly the documented names,
# undecorated, carries a version resource with the project version, and needs nothing beside
# it but Windows' own DLLs (the toolchain links everything statically).

enable_language(RC)

# Windows 7 and later; no min/max macros in the way of std::min.
add_compile_definitions(_WIN32_WINNT=0x0601 NOMINMAX)
# libxml2 is linked in statically. LIBXML_STATIC_FOR_DLL: its per-thread
# state is freed by xmlDllMain, which the plug-in's DllMain calls.
set_property(TARGET PkgConfig::LIBXML2 APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS
  LIBXML_STATIC LIBXML_STATIC_FOR_DLL)

# The module-definition file names every export undecorated; ld's stdcall fix-up binds each
# name to its decorated symbol (GetPelkPluginName -> _GetPelkPluginName@8). Without it ld
# would export every global of the DLL, OpenSSL's included.
set(VOKR_EXPORT_LIST ${PROJECT_SOURCE_DIR}/tests/exports/expected_exports.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VOKR_EXPORT_LIST})
file(STRINGS ${VOKR_EXPORT_LIST} VOKR_EXPORT_NAMES REGEX "^[A-Za-z_]")
list(JOIN VOKR_EXPORT_NAMES "\n  " VOKR_EXPORT_LINES)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/vokr.def
  CONTENT "LIBRARY vokr.dll\nEXPORTS\n  ${VOKR_EXPORT_LINES}\n" @ONLY)

# The version resource: the identification export reads the file version from it.
configure_file(${PROJECT_SOURCE_DIR}/src/platform/win32/version.rc.in ${PROJECT_BINARY_DIR}/vokr-version.rc @ONLY)

# The Windows layer reads version resources (version.dll) and the UNC names of mapped drives (mpr.dll).
target_link_libraries(vokr_objects PUBLIC version mpr)

target_sources(vokr PRIVATE ${PROJECT_BINARY_DIR}/vokr.def ${PROJECT_BINARY_DIR}/vokr-version.rc)
target_link_options(vokr PRIVATE -Wl,--no-undefined -Wl,--enable-stdcall-fixup)
set_target_properties(vokr PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
