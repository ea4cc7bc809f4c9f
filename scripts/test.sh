#!/usr/bin/env bash
# Runs the whole test suite on a fresh Debian machine: installs what it needs, builds,
# runs every unit and end-to-end test, then the window test under Xvfb; then cross-builds the
# Windows programs and the release zip and runs the Windows tests under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
scripts/build-windows.sh --test
