# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, for std::thread),
# linked against DLLs: Qt for Windows and the window program built on it. Qt's DLLs bring their own
# libstdc++, so a program that uses them takes the same one instead of a static copy.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for Windows lives outside the mingw-w64 root (scripts/build-qt-mingw.sh's cache): its folder is
# searched as a root of its own. Passed on to the compiler checks' inner projects as well.
if(ORSA_QT_MINGW_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORSA_QT_MINGW_PREFIX})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORSA_QT_MINGW_PREFIX)
