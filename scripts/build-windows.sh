#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64:
#   build-win32/  i686:   PELKAR.EXE as it ships, pelkar-ffmpeg.exe and the release zip; with
#                 --test also the stand-ins and the Windows tests, which run on that very
#                 PELKAR.EXE under Wine's 32-bit loader
#   build-win64/  x86_64: the same sources, their stand-ins and tests under wine64, after the
#                 i686 ones while test_x86_64 below is 1, and always where this machine cannot
#                 run 32-bit programs; their screenshots go to build/screenshots/windows-x86_64
#
#   scripts/build-windows.sh          build the programs and the release zip
#   scripts/build-windows.sh --test   build them and the Windows tests and run the tests
set -euo pipefail
cd "$(dirname "$0")/.."

# Whether the x86_64 build and its tests follow the i686 ones (about two CPU minutes more on a
# 2-core machine; 0 leaves them to machines that cannot run 32-bit programs).
test_x86_64=1

case "${1:-}" in
  "" | --test) ;;
  *) echo "usage: $0 [--test]" >&2 && exit 2 ;;
esac
testing="${1:-}"

jobs="$(nproc)"
[ "$jobs" -le 2 ] || jobs=2
started=$SECONDS

# configure FOLDER ARCHITECTURE [CMAKE OPTIONS...]; the window tests leave their screenshots
# beside the Linux ones.
configure() {
  local folder="$1" architecture="$2"
  shift 2
  cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="cmake/Toolchain-mingw-$architecture.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPELKAR_SCREENSHOT_DIR="$PWD/build/screenshots/windows" \
    "$@" >/dev/null
}

# run_tests FOLDER DESCRIPTION: each test program is one ctest test; the summary counts the
# programs and the tests they passed. Wine itself now and then fails a program that passes on
# the next try (seen under wine64: a process that never ended after all its tests had passed,
# and a window-test program that ended with no output at all), so a program gets a second try;
# a real fault fails both.
run_tests() {
  local folder="$1" description="$2" start=$SECONDS
  ctest --test-dir "$folder" --output-on-failure -j2 --repeat until-pass:2
  local log="$folder/Testing/Temporary/LastTest.log" programs tests
  programs="$(grep -c '^[0-9]*/[0-9]* Testing: ' "$log")"
  tests="$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" |
    awk '{ sum += $1 } END { print sum + 0 }')"
  echo "Windows tests on $description: $programs programs and $tests tests passed" \
    "in $((SECONDS - start)) s"
}

# Whether this machine runs 32-bit Windows programs (IA-32 emulation in the kernel, and
# Debian's wine32:i386 beside wine64): a stand-in of the i686 build is asked to echo a word.
# Prints why not when it does not.
runs_32_bit_programs() {
  local answer errors
  errors="$(mktemp)"
  answer="$(PELKAR_WINE_PREFIX="$PWD/build-win32/wine-prefix" \
    scripts/wine-run.sh build-win32/runner_child.exe out i686 2>"$errors" | tr -d '\r')" || true
  local why
  why="$(tail -n 1 "$errors")"
  rm -f "$errors"
  [ "$answer" = i686 ] && return 0
  echo "${why:-it printed nothing}"
  return 1
}

configure build-win32 i686 -DBUILD_TESTING=ON
cmake --build build-win32 -j"$jobs" --target release_zip
for zip in build-win32/PELKAR-*.zip; do
  echo "$zip:"
  unzip -l "$zip"
  # The tests run the very PELKAR.EXE that ships.
  unzip -p "$zip" PELKAR.EXE | cmp - build-win32/PELKAR.EXE
done

if [ "$testing" = --test ]; then
  cmake --build build-win32 -j"$jobs" --target runner_child
  if why="$(runs_32_bit_programs)"; then
    cmake --build build-win32 -j"$jobs"
    run_tests build-win32 "i686 (the shipped PELKAR.EXE, under 32-bit Wine)"
  else
    echo "Windows tests on i686 NOT run: this machine cannot run 32-bit Windows programs" \
      "($why); the x86_64 tests run instead."
    test_x86_64=1
  fi
fi

if [ "$test_x86_64" = 1 ]; then
  # Its tests read the shipped 32-bit program's version record and imports as well.
  configure build-win64 x86_64 -DPELKAR_SHIPPED_EXE="$PWD/build-win32/PELKAR.EXE" \
    -DPELKAR_SCREENSHOT_DIR="$PWD/build/screenshots/windows-x86_64"
  cmake --build build-win64 -j"$jobs"
  [ "$testing" != --test ] || run_tests build-win64 "x86_64 (under wine64)"
fi

echo "Windows part (builds and tests): $((SECONDS - started)) s"
