# 32-bit x86 build on a Debian multiarch machine: the host ABI of the plug-in.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# Code every x86 machine of the last twenty years runs: SSE2 is the floor (Pentium 4, Pentium M,
# Athlon 64 and everything since; SSE3 and SSSE3 came later to AMD), floating point in SSE
# registers rather than on the x87 stack, scheduled for current cores. Faster instructions
# (SSSE3, AVX2) are chosen at run time where the CPU has them. A host may call the exports with
# the stack aligned to 4 bytes only, as 32-bit Windows code does: no function assumes more.
# File offsets are 64 bits wide, for files past 2 GB.
set(VOKR_I386_CODEGEN "-m32 -march=pentium4 -mtune=generic -mfpmath=sse -mincoming-stack-boundary=2 -D_FILE_OFFSET_BITS=64")
set(CMAKE_C_FLAGS_INIT "${VOKR_I386_CODEGEN}")
set(CMAKE_CXX_FLAGS_INIT "${VOKR_I386_CODEGEN}")
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
