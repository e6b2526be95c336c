# Cross-building for Windows (x86_64) with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-win-x86_64 -DCMAKE_TOOLCHAIN_FILE=toolchains/mingw-x86_64.cmake
set(_mingw_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Test programs (add_test, gtest_discover_tests) run under 64-bit Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
