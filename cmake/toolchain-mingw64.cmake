# Cross-builds the Windows programs with mingw-w64. The "-posix" compilers carry the thread
# model that std::thread and std::mutex need; the default "-win32" ones lack it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

# Libraries and headers of the target only; programs (the compilers, cmake's helpers) of the
# build machine. Package files are looked for on CMAKE_PREFIX_PATH first, where
# scripts/windows-test puts GoogleTest built by this toolchain and CLI11's headers, so that
# no header of the build machine's C library is ever picked up.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# A statically linked .exe needs only the DLLs every Windows has: no libstdc++, libgcc or
# winpthread DLL to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and test discovery run the programs under Wine.
find_program(MEROVAN_WINE NAMES wine wine64)
if(MEROVAN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MEROVAN_WINE})
endif()
