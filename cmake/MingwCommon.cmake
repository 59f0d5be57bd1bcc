# What both MinGW-w64 toolchain files share; KESTROVE_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${KESTROVE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTROVE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTROVE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KESTROVE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime goes inside every program and DLL, so that they start on a
# Windows that has none of MinGW's DLLs: libgcc, libstdc++ and winpthread from
# their static archives (the system's own DLLs are still linked by import).
set(KESTROVE_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${KESTROVE_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${KESTROVE_STATIC_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${KESTROVE_STATIC_RUNTIME}")

# Programs built here run under Wine when the build asks to run one.
find_program(KESTROVE_WINE NAMES wine wine64)
if(KESTROVE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTROVE_WINE})
endif()
