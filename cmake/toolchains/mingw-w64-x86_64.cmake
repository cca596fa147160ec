# Cross-builds 64-bit Windows executables with MinGW-w64 (Debian: g++-mingw-w64-x86-64) and runs
# them, tests included, under Wine (Debian: wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The POSIX thread model: the win32 one of g++ 12 has no std::thread or std::mutex.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries its runtime (libstdc++, libgcc, winpthread): one .exe to copy, no DLLs
# to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian keeps the loader in /usr/lib/wine; /usr/bin/wine comes only with the wine package.
find_program(TARNASM_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TARNASM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${TARNASM_WINE})
endif()
