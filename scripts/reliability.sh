#!/usr/bin/env bash
# Measures what PELKAR survives and writes RELIABILITY.md (or the file named by --output):
#   - the fault matrix (tests/faults) through build/pelkar;
#   - the failure-point sweep (tests/faults) through build/pelkar: every audio point and a
#     sample of the video ones, or all of them with FAULT_POINTS=all;
#   - the whole test suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan);
#   - the runner, notifier, stage and end-to-end tests under ThreadSanitizer (build-tsan);
#   - each libFuzzer target for FUZZ_SECONDS seconds (default 30) from its seeds (build-fuzz).
# Fails on any finding. Needs build/ (scripts/build.sh); makes the other builds itself. CI runs
# it from scripts/test.sh; its logs stay in build/reliability/.
set -euo pipefail
cd "$(dirname "$0")/.."
output=RELIABILITY.md
[ "${1:-}" = --output ] && output=$2
fuzz_seconds=${FUZZ_SECONDS:-30}
work=build/reliability
rm -rf "$work"
mkdir -p "$work"
started=$SECONDS
findings=0

note() { echo "reliability: $*"; }

# Sanitizer builds unoptimised and with line tables only: they build in a third of the time,
# and the tests, which mostly wait for processes, hardly run slower.
sanitizer_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" "$@" >/dev/null
    cmake --build "$dir" -j2 >"$work/$(basename "$dir")-build.log" 2>&1 ||
        { tail -n 30 "$work/$(basename "$dir")-build.log"; exit 1; }
}

# Runs a build's tests; sets tests, failed and reports (sanitizer reports in their output).
sanitizer_tests() {
    local dir=$1 log=$work/$(basename "$1")-tests.log
    ctest --test-dir "$dir" -j2 --output-on-failure >"$log" 2>&1 || true
    tests=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$log")
    failed=$(sed -n 's/.*, \([0-9]*\) tests failed out of .*/\1/p' "$log")
    reports=$(grep -cE 'ERROR: (Address|Leak)Sanitizer|runtime error:|WARNING: ThreadSanitizer' \
        "$dir/Testing/Temporary/LastTest.log" || true)
    if [ "${failed:-1}" != 0 ] || [ "$reports" != 0 ]; then
        grep -E '\*\*\*Failed|Sanitizer|runtime error' "$log" | head -n 40
        findings=$((findings + 1))
    fi
}

# ---- Fault matrix ----
phase=$SECONDS
note "fault matrix through build/pelkar"
tests/faults/fault-matrix.sh build "$work/fault-matrix.md" || findings=$((findings + 1))
matrix_seconds=$((SECONDS - phase))

# ---- Failure points ----
phase=$SECONDS
note "failure-point sweep through build/pelkar (FAULT_POINTS=${FAULT_POINTS:-ci})"
tests/faults/failure-points.sh build "$work/failure-points.md" || findings=$((findings + 1))
sweep_seconds=$((SECONDS - phase))

# ---- AddressSanitizer + UndefinedBehaviorSanitizer ----
phase=$SECONDS
note "whole suite under ASan+UBSan (build-asan)"
sanitizer_build build-asan -DPELKAR_SANITIZE=ON
sanitizer_tests build-asan
asan="| AddressSanitizer + UndefinedBehaviorSanitizer (gcc, build-asan) | every test program, the window tests and screenshots, the fault matrix | $tests | $failed | $reports | $((SECONDS - phase)) s |"

# ---- ThreadSanitizer ----
phase=$SECONDS
note "runner, notifier, stages and end-to-end runs under TSan (build-tsan)"
sanitizer_build build-tsan -DPELKAR_TSAN=ON -DPELKAR_WITH_WX=OFF
sanitizer_tests build-tsan
tsan="| ThreadSanitizer (gcc, build-tsan) | test_processing (runner, notifier, stages) and test_e2e (pelkar built with it) | $tests | $failed | $reports | $((SECONDS - phase)) s |"

# ---- Fuzzing ----
phase=$SECONDS
note "fuzz targets, $fuzz_seconds s each (build-fuzz)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPELKAR_FUZZ=ON -DPELKAR_WITH_WX=OFF \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target fuzz_targets >"$work/build-fuzz-build.log" 2>&1 ||
    { tail -n 30 "$work/build-fuzz-build.log"; exit 1; }
rm -rf build-fuzz/corpus build-fuzz/findings
mkdir -p build-fuzz/findings

fuzz() {
    local target=$1
    mkdir -p "build-fuzz/corpus/$target"
    "build-fuzz/fuzz/$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
        "build-fuzz/corpus/$target" "tests/fuzz/$target" >"$work/$target.log" 2>&1
}

# Two at a time, one per core.
targets=($(cd tests/fuzz && ls -d fuzz_*/ | tr -d /))
fuzz_status=()
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for target in "${targets[@]:i:2}"; do
        fuzz "$target" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" && fuzz_status+=(0) || fuzz_status+=($?)
    done
done

fuzz_rows=""
for i in "${!targets[@]}"; do
    target=${targets[$i]}
    log=$work/$target.log
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    corpus=$(grep -a 'DONE' "$log" | sed -n 's/.* corp: \([0-9]*\)\/\([0-9a-zA-Z]*\).*/\1 inputs, \2/p')
    seeds=$(find "tests/fuzz/$target" -type f | wc -l)
    coverage=$(grep -a 'DONE' "$log" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    result=none
    if [ "${fuzz_status[$i]}" != 0 ]; then
        result="**finding** (exit ${fuzz_status[$i]})"
        findings=$((findings + 1))
        grep -a -A3 -E 'Property failed|ERROR:|SUMMARY' "$log" | head -n 20
    fi
    purpose=$(sed -n '1,/^$/s|^// ||p' "tests/fuzz/$target.cpp" | paste -sd ' ')
    fuzz_rows+="| \`$target\` | $purpose | $fuzz_seconds s | ${executions:-0} (${rate:-0}/s) | $seeds seeds; ${corpus:-?} after | ${coverage:-?} | $result |"$'\n'
done
fuzz_total=$((SECONDS - phase))

# ---- RELIABILITY.md ----
covered=$(grep -hE '^(TEST|TEST_F|TEST_P)\(' tests/e2e/UnattendedRunTest.cpp |
    sed 's/^TEST[_FP]*(\([A-Za-z]*\), \([A-Za-z]*\)).*/- `\1.\2`/')
cat >"$output" <<EOF
# Reliability

What PELKAR has been put through, and what it showed. Written by \`scripts/reliability.sh\`
on $(date -u '+%Y-%m-%d %H:%M UTC') at commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown),
on $(nproc) cores, $(uname -sr); run it again to reproduce every figure. CI runs the same
script (from \`scripts/test.sh\`) and fails on any finding. Its part of the CI time was
$((SECONDS - started)) s: fault matrix ${matrix_seconds} s, failure-point sweep ${sweep_seconds} s,
sanitizer builds and runs as in their
table, fuzzing (build and runs) ${fuzz_total} s.

## Fuzzing

One libFuzzer target per parser of outside text (\`tests/fuzz/\`, built with clang and
\`-fsanitize=fuzzer,address,undefined\` by \`-DPELKAR_FUZZ=ON\`). Each checks a property, not
only that nothing crashes; a property that fails aborts the run like a crash. Every run starts
from the seed corpus \`tests/fuzz/<target>/\` (which holds the inputs of past findings), two
targets at a time.

| Target | What it checks | Time | Executions | Corpus | Edges covered | Findings |
|---|---|---|---|---|---|---|
${fuzz_rows}
## Sanitizer runs

Zero-finding gates: every sanitizer ends the program at its first report
(\`-fno-sanitize-recover=all\`, \`halt_on_error=1\`), so a report fails its test.

| Build | What runs | Tests | Failed | Sanitizer reports | Build and run |
|---|---|---|---|---|---|
$asan
$tsan

Suppressions, all for libraries not built with the sanitizers:
- \`tests/wx/desktop-leaks.supp\` (LeakSanitizer, window tests only): fontconfig's font caches
  and GTK's accessibility bridge, both kept until the process ends.
- \`tests/thread-sanitizer.supp\`: GLib, GIO and GObject, whose own futex-based locks and
  atomics the sanitizer cannot see, so that it takes their hand-overs between the D-Bus worker
  thread and the caller for races.

## Fault matrix

Each row is one post-download run of the real \`build/pelkar\` against one fault, with the
stand-in tools or a shell script in a tool's place (\`tests/faults/matrix.txt\`, run by
\`tests/faults/fault-matrix.sh\`, which also checks each row's expected exit status, log
line, files and profile). As root the runs go as user \`nobody\`, so that read-only files and
folders hold. "Left on disk" lists what stays in the output and temporary folders and beside
the profile (the profile's lock file always stays); "~" is the run's scratch home. Peak
memory is the largest resident size of pelkar or of a tool it ran.

$(cat "$work/fault-matrix.md")

Faults that the end-to-end tests already run through \`build/pelkar\`
(\`tests/e2e/UnattendedRunTest.cpp\`; FFMPEG that fails, is missing, is killed or hangs until
pelkar is stopped by SIGTERM, SIGINT or SIGHUP; a profile that is a folder, a symbolic link,
has a byte-order mark, is locked or is edited during the run; standard error nobody reads;
dotted, slashed and foldered titles), so the matrix does not repeat them:

$covered

Also run end to end elsewhere: a log whose folder is missing
(\`StartupTest.UnopenableLogIsReportedAndTheRunStillConverts\`) and 12 instances without a
matching action on one profile and log (\`StartupTest.ConcurrentInstancesLeaveWholeProfileAndLog\`).

## Failure points

Two post-download runs of the real \`build/pelkar\` with logging on, an audio action and a
two-pass video action with commercial stripping (the stand-in tools), are recorded; then each
of their calls is made to fail in turn with each fault of its kind
(\`tests/faults/failure-points.txt\`), and is killed once with SIGKILL, one run per failure
point (\`tests/faults/failure-points.sh\`, two runs at once). strace fails the system calls of
pelkar's main thread; a preloaded shim (\`tests/faults/FaultShim.cpp\`) fails those of the
reader and reaper threads, which strace cannot single out. After each run:
1. the profile is the old bytes or the new canonical content, never empty, torn or reset to
   defaults, and a temporary profile left by a SIGKILL is gone after the next run;
2. the recording and its \`.evt\` are unchanged;
3. the log holds whole lines only;
4. exit 0 only with the whole output (a clean run's bytes, or those of the conversion without
   stripping when the log says that no name could be made for the stripped copy); a failed run
   leaves no unfinished output, ends by no signal but the SIGKILL it was sent, and says why on
   standard error or in the log; an EINTR on pelkar's own files or pipes is got over (the run
   ends as a clean one);
5. the run ends within 30 s and leaves no tool running;
6. no temporary file is left, except after a SIGKILL or one that the log names as not removed.

"Reached" counts the points whose call the run made (the helper threads' calls vary a little
from run to run). Faults in \`close\` are not injected: Linux frees the descriptor whatever
close returns, so they would tell only about the injector. A profile that vanishes as the run
loads it (ENOENT at its open) makes a first run, which has no action yet and ends with 0 and no
output. Each violation is listed in \`build/reliability/failure-points-violations.txt\`.

This run:

$(cat "$work/failure-points.md")

$(cat tests/faults/failure-points-full.md)

Run it again with \`FAULT_POINTS=all tests/faults/failure-points.sh build\`, which rewrites
\`tests/faults/failure-points-full.md\`.

## Concurrency

- 16 post-download conversions at once on one profile and one log (last matrix row): every run
  ended with status 0 and wrote its own output; the log holds whole lines only, the same number
  from each run; the profile is one section with its 81 keys and no temporary file is left.
  The figures are below the matrix.
- The runner's two threads (the caller and the reader), the stop requests and the notifier's
  D-Bus thread run under ThreadSanitizer in \`test_processing\`; \`test_e2e\` runs a pelkar
  built with it, the concurrent instances included.

## Defects these runs found

Each is mended; the regression test named runs in CI.
- Fuzzing (\`fuzz_stored_action\`): the store kept an action in its canonical text even where
  that text reads back as another action: trimming can bring a "|" next to a separator
  ("%title%| " becomes "%title%|", whose "|||" then ends the head early and shifts every later
  field, the filter included), and a pattern " <NULL>" becomes the marker that reads back
  empty. The store now keeps such a text as it was stored (\`KeptActionText\`). Regression:
  seeds \`bar-before-separator-after-trim\` and \`pattern-trims-to-null-marker\`, and
  \`KeptActionTextTest\`.
- Fault matrix: a save replaced a read-only profile (by renaming over it, which the folder
  allowed). Now the save fails with the log line "SaveSettings(): The profile ... could not be
  saved." and the file stays. Regression: row "Profile read-only".
- Fault matrix: a log that could not be written (a full disk) lost every line without a word.
  Now the run says once on standard error "The log ... could not be written; the run goes on
  without it." and carries on. Regression: row "Log on /dev/full".
- ThreadSanitizer: the signal handler of \`pelkar-ffmpeg\` could change errno under the code
  it interrupted; it now keeps it. No test repeats this: the sanitizer that saw it holds the
  handler back until waitpid returns, so \`pelkar-ffmpeg\` is left out of the
  ThreadSanitizer build (see below).

## Not covered

- The Windows back end (\`src/platform/win32\`, the Win32 launcher of the FFMPEG front end):
  none of these runs builds or runs it. The Windows command-line splitting and quoting it
  relies on is fuzzed here, as portable code.
- The window: the wxWidgets host runs under ASan+UBSan (window tests and screenshots), not
  under ThreadSanitizer, and no dialog input is fuzzed.
- The real FFMPEG, EVTDump and RTVEdit: the matrix puts stand-ins and shell scripts in their
  place; what a real tool prints is covered only as far as the output rows imitate it.
- A full disk or a read-only folder for the output or the temporary files as the tools see
  them (the failure points fail only pelkar's own calls; the fault matrix tries the log and the
  profile that way), and a profile on a network file system. pelkar killed with SIGKILL is
  tried at each of its own calls; a tool it leaves running is not stopped by anyone.
- Fuzzing is short: ${fuzz_seconds} s per target from the seeds, no corpus is kept between CI
  runs, and nothing is fuzzed longer than libFuzzer's default input length (4096 bytes); long
  wildcard patterns are bounded by the time limit of each input (10 s) only up to that length.
- \`pelkar-ffmpeg\` is built without ThreadSanitizer (it has one thread, and the sanitizer
  would hold its signal handler back until waitpid returns, too late to pass a stop on).
- ThreadSanitizer sees only the two test programs named above; the unit tests of the model,
  the store and the dialogs run under ASan+UBSan only. gcc builds the sanitizer runs and
  clang the fuzzing, each with its own sanitizer runtime.
EOF

note "done in $((SECONDS - started)) s, $findings finding(s); wrote $output"
[ "$findings" -eq 0 ]
