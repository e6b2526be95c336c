# Cross-building for Windows (i686) with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-win-i686 -DCMAKE_TOOLCHAIN_FILE=toolchains/mingw-i686.cmake
set(_mingw_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# No emulator: a 32-bit program needs a 32-bit Wine, which a 64-bit-only
# Linux kernel cannot run. The tests use the x86_64 build of the same sources.
