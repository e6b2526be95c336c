# Cross-building for Windows (i686) with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-win-i686 -DCMAKE_TOOLCHAIN_FILE=toolchains/mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The -posix compilers (package g++-mingw-w64-i686-posix): GoogleTest needs
# std::mutex, which the default -win32 ones of GCC 12 do not have.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-times are linked in, so that the program runs on a bare
# Windows with no MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# No emulator: a 32-bit program needs a 32-bit Wine, which a 64-bit-only
# Linux kernel cannot run. The tests use the x86_64 build of the same sources.
