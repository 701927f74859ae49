# The same sources as a 64-bit Windows program, for running the Windows
# tests under 64-bit Wine on a machine where 32-bit Wine does not run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KVD_MINGW_TRIPLE x86_64-w64-mingw32)
set(KVD_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
