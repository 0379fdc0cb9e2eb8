# What the two mingw-w64 toolchain files share: the Windows target, the compilers and resource
# compiler of KOVA_MINGW_TRIPLE, libraries and headers from its root only, and Wine to run tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KOVA_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KOVA_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${KOVA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOVA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
