#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64:
#   build-win32/  i686:   PELKAR.EXE as it ships, pelkar-ffmpeg.exe and the release zip
#   build-win64/  x86_64: PELKAR.EXE, the stand-ins and the Windows tests, which run under wine64
#
#   scripts/build-windows.sh          build both
#   scripts/build-windows.sh --test   build both, then run the Windows tests under wine64
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  "" | --test) ;;
  *) echo "usage: $0 [--test]" >&2 && exit 2 ;;
esac

jobs="$(nproc)"
[ "$jobs" -le 2 ] || jobs=2

cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/Toolchain-mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-win32 -j"$jobs" --target release_zip
for zip in build-win32/PELKAR-*.zip; do
  echo "$zip:"
  unzip -l "$zip"
done

# The tests read the 32-bit program's version record and imports; the window tests leave
# their screenshots beside the Linux ones.
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/Toolchain-mingw-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DPELKAR_SHIPPED_EXE="$PWD/build-win32/PELKAR.EXE" \
  -DPELKAR_SCREENSHOT_DIR="$PWD/build/screenshots/windows" >/dev/null
cmake --build build-win64 -j"$jobs"

if [ "${1:-}" = --test ]; then
  ctest --test-dir build-win64 --output-on-failure -j2
fi
