# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix thread model,
# which std::thread and Qt need). Used for Qt itself and, through the toolchain file
# that the Qt build leaves behind, for the station.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALVEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TALVEX_MINGW_TRIPLE}-windres)

# Headers, libraries and packages come from the target's root (and whatever the caller
# appends: the cross-built Qt); programs run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TALVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
