# Cross-building for Windows (x86_64) with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-win-x86_64 -DCMAKE_TOOLCHAIN_FILE=toolchains/mingw-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix compilers (package g++-mingw-w64-x86-64-posix): GoogleTest needs
# std::mutex, which the default -win32 ones of GCC 12 do not have.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-times are linked in, so that the program runs on a bare
# Windows with no MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Test programs (add_test, gtest_discover_tests) run under 64-bit Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
