# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: POSIX
# threads, which Qt's std::thread use needs). Used for the Qt that scripts/windows-qt builds and
# for the programs that scripts/package-windows builds against it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZOR2_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZOR2_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZOR2_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZOR2_MINGW_TRIPLE}-windres)

# Libraries, headers and packages only from the Windows side (and from the prefixes given in
# CMAKE_PREFIX_PATH), programs only from the machine that builds.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZOR2_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
