# 32-bit Windows: the program as it ships, and the Windows tests run on it under Wine's 32-bit
# loader (in a 64-bit prefix, as on a 64-bit Windows).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PELKAR_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
