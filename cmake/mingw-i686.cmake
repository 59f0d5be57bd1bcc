# Cross-builds for Windows (i686) with Debian's MinGW-w64 compilers, the
# posix-threads flavour (std::thread and std::mutex need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTROVE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
# The rules are computed in SSE2 floats and doubles, as on x86-64, never in the
# x87 unit's wider registers: both builds must reach the same positions.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
