# Cross build for 64-bit Windows with Debian's mingw-w64: orsactl and the tests.
# Programs are linked statically, so they run under wine or on a bare Windows without extra DLLs.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-shared.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and test discovery run the .exe files through wine, in a prefix inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
