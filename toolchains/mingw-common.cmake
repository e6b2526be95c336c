# What both Windows toolchains share; each sets _mingw_processor first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${_mingw_processor})
set(_mingw ${_mingw_processor}-w64-mingw32)

# The -posix compilers (packages g++-mingw-w64-*-posix): GoogleTest needs
# std::mutex, which the default -win32 ones of GCC 12 do not have.
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-times are linked in, so that the program runs on a bare
# Windows with no MinGW DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
