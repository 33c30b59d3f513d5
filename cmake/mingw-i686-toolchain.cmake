# 32-bit Windows (i686) cross build with Debian's mingw-w64, posix thread model; the programs
# it builds run here under wine (cmake/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VOKR_MINGW i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${VOKR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOKR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${VOKR_MINGW}-windres)
set(CMAKE_AR           /usr/bin/${VOKR_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${VOKR_MINGW}-ranlib CACHE FILEPATH "")
find_program(VOKR_CCACHE ccache)
if(VOKR_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${VOKR_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VOKR_CCACHE})
endif()

# The cross-built dependencies (OpenSSL, libcurl, libxml2, xmlsec1, GoogleTest): scripts/win32-deps
# keeps them in a cache outside the checkout and links build/win32-deps to them.
get_filename_component(VOKR_WIN32_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build/win32-deps" ABSOLUTE)
if(NOT EXISTS "${VOKR_WIN32_DEPS}/lib/pkgconfig/libcurl.pc")
  message(FATAL_ERROR "No Windows dependencies at ${VOKR_WIN32_DEPS}: run scripts/setup with VOKR_PRESETS=win32")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${VOKR_MINGW} ${VOKR_WIN32_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the cross-built .pc files, never the host's; --static brings their
# private libraries (ws2_32, crypt32, ...) into the imported targets.
set(ENV{PKG_CONFIG_LIBDIR} "${VOKR_WIN32_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_ARGN --static CACHE STRING "" FORCE)

# No runtime DLLs beside the products: libgcc, libstdc++ and winpthread are linked in
# (-static-libgcc -static-libstdc++ would still import libwinpthread-1.dll).
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under wine, in a wine prefix of the build tree's own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
