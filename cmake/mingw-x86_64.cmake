# Cross-compiles the same Windows programs as 64-bit x86-64 ones: the twin that the Wine scenarios
# run on hosts that cannot execute 32-bit x86 code. The shipped setup stays the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KOVA_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
