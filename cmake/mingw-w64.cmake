# Cross build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64-posix),
# its programs run by Wine (Debian's wine64) for the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each program carries its C++ runtime, libgcc and winpthread, so that it runs on a
# bare Windows with nothing installed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the test programs, and the tests the built programs, under Wine.
find_program(VOKRAM_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(VOKRAM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VOKRAM_WINE})
endif()
