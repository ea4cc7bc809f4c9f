# 64-bit Windows: the same sources, built to run the Windows tests under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELKAR_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWToolchain.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
