# 32-bit x86 build on a Debian multiarch machine: the host ABI of the plug-in.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(CMAKE_FIND_ROOT_PATH /)

# Kernels without ia32 emulation cannot start 32-bit programs; tests then run under qemu.
# VOKR_I386_RUNS_NATIVELY is detected by scripts/test.
if(NOT VOKR_I386_RUNS_NATIVELY)
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /)
endif()
