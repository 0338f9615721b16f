# Cross-compiling the Windows build (32-bit) with MinGW-w64 on Linux.
# The posix thread model gives the full C++20 library (std::thread, std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(RAMULET_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${RAMULET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RAMULET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RAMULET_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RAMULET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs are run under Wine by scripts/run-windows-tests.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
