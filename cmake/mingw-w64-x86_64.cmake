# Cross build for Windows with Debian's mingw-w64 (posix threads), tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVIRAP_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVIRAP_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVIRAP_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVIRAP_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVIRAP_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One file that runs anywhere: no libstdc++, libgcc or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
# Each function and datum in a section of its own, so that the linker leaves out
# what no program calls (the static libraries' unused parts above all).
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# Each build tree gets a Wine prefix of its own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${CMAKE_BINARY_DIR}/wineprefix)
