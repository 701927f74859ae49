# Setup.exe as it ships: a 32-bit Windows program.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KVD_MINGW_TRIPLE i686-w64-mingw32)
set(KVD_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
