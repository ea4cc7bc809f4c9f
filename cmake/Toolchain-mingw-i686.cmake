# 32-bit Windows: the program as it ships. It cannot run on this kind of machine, so this build
# only compiles and links.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PELKAR_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
