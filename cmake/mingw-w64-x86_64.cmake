# Cross-building the Qt-free calculator for 64-bit Windows with Debian's mingw-w64 (scripts/windows.sh).
# The posix compilers carry std::thread; everything is linked statically, so the .exe needs no DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(korvane_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${korvane_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${korvane_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${korvane_mingw}-windres)

# Libraries and headers from the mingw tree and the folder the script builds the others into, never from the
# build machine's /usr; programs (pkg-config, gzip) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${korvane_mingw} ${KORVANE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
