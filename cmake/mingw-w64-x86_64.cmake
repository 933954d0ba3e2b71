# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-thread g++, which has
# std::thread), run under Wine. Everything is linked statically, so the .exe needs no DLL
# beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PL3_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${PL3_MINGW_PREFIX}-g++-posix)
set(CMAKE_C_COMPILER ${PL3_MINGW_PREFIX}-gcc-posix)
set(CMAKE_RC_COMPILER ${PL3_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PL3_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs are stripped: the package carries no debug information.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")

# ctest and gtest_discover_tests run the test programs through Wine.
find_program(PL3_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PL3_WINE})

# GCC 12 warns of overlapping copies inside its own std::string at -O2 and above (GCC bug
# 105329), which warnings-as-errors would turn into a failed build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
