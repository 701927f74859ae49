# Cross-building for Windows with MinGW-w64; Wine runs what is built. The
# including toolchain file names the target: KVD_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR, and KVD_WINE_LOADER for the Wine that runs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KVD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KVD_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KVD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
find_program(KVD_WINE NAMES ${KVD_WINE_LOADER} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KVD_WINE})

# Small code: every function and datum in its own section, unused ones dropped
# at link time; the C and C++ run-times are linked in, so that the program
# needs only the system's DLLs.
# (a cache entry: the compiler module would append -O3 to an _INIT value)
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "Flags for Release builds")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# The linker writes no time stamp of its own, so that two builds of one commit
# give the same bytes (Setup.exe is given the commit's time after linking).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -Wl,--nxcompat -Wl,--dynamicbase -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
