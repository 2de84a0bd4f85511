# Cross-compiling Quillock.exe for 64-bit Windows with Debian's mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QLK_TRIPLE x86_64-w64-mingw32)

# The POSIX thread model gives std::thread and std::mutex.
set(CMAKE_C_COMPILER ${QLK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QLK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QLK_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QLK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

