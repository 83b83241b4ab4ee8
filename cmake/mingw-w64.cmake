# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread and
# std::mutex). Used for Qt and the libraries under tools/windows/toolchain's prefix, and chained
# by that Qt's qt.toolchain.cmake for the program itself (see ./run windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Libraries and packages only from the MinGW sysroot and the tool chain's prefix, never the
# Linux ones in /usr; programs (moc, wine64) from the build machine.
if(DEFINED ENV{TAVLE_WIN64_ROOT})
  set(TAVLE_WIN64_ROOT "$ENV{TAVLE_WIN64_ROOT}")
else()
  set(TAVLE_WIN64_ROOT /opt/tavleplanner-win64)
endif()
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${TAVLE_WIN64_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and try_run go through Wine.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
