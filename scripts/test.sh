#!/usr/bin/env bash
# Runs the whole test suite on a fresh Debian machine: installs what it needs, builds,
# installs the Debian package, checks the installed program and removes it again, then runs
# every unit and end-to-end test and the window tests under Xvfb; then cross-builds the Windows
# programs and the release zip and runs the Windows tests on the shipped i686 PELKAR.EXE under
# Wine; then the reliability runs: the fault matrix, the suite under the sanitizers and bounded
# fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
scripts/test-package.sh
ctest --test-dir build --output-on-failure -j2 -E '^fault_matrix$'
scripts/build-windows.sh --test
scripts/reliability.sh --output build/RELIABILITY.md
