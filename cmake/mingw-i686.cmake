# Cross-compiles the 32-bit Windows programs with mingw-w64; tests of those programs run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KOVA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
