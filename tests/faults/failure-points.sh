#!/usr/bin/env bash
# The failure-point sweep: records the calls pelkar makes in three post-download runs with
# logging on (an audio action; a two-pass video action with commercial stripping; an audio
# action whose FFMPEG fails where an earlier run's output of the same name is), then runs
# them again once per call and fault of failure-points.txt beside this script, and once with a
# SIGKILL at each call. strace fails the main thread's system calls (it counts calls per
# thread, so it traces the main thread alone); the preloaded shim FaultShim.cpp fails those of
# the reader and reaper threads. Each run is then checked:
#   1. the profile is the old bytes or the new canonical content, and a temporary profile left
#      by a SIGKILL is removed by the next run;
#   2. the recording and its .evt are unchanged;
#   3. the log holds whole lines only;
#   4. exit 0 only with the complete output (a clean run's bytes, or those of the same
#      conversion without stripping when the log says it went on without), a failed run leaves
#      no unfinished output, ends by no signal but the SIGKILL it was sent, and says why on
#      standard error or in the log; a fault the table marks as retried, on pelkar's own
#      files or pipes, ends as a clean run;
#   5. the run ends within the time limit and leaves no tool running;
#   6. no temporary file is left, except after a SIGKILL or one the log names (a file that
#      could not be removed);
#   7. an earlier run's output is never removed or changed, and a run whose FFMPEG failed never
#      ends with 0.
# Writes the figures as Markdown to TABLE_FILE and each violation to TABLE_FILE's
# "-violations.txt"; fails when a run breaks an invariant.
#
# Usage: tests/faults/failure-points.sh BUILD_DIR [TABLE_FILE]
#   FAULT_POINTS=all  every point of both runs, and the figures also go to
#                     failure-points-full.md beside this script (the default, as CI runs it:
#                     every point of the audio run; of the video run and the run with an
#                     earlier output, every point of the runner's few calls (kinds process and
#                     wait) and every FAULT_VIDEO_STRIDEth other one, default 8th)
#   FAULT_JOBS=N      runs at once (default 2)
#   FAULT_ONLY=REGEX  only the points whose line (scenario, where, kind, call, Nth, fault)
#                     matches, to run a violation again: "video helper wait waitpid 4 ECHILD"
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/scratch-home.sh"
set_up_scratch "$1"
table=${2:-$build/failure-points.md}
violations_file=${table%.md}-violations.txt
[ -f "$build/libfault_shim.so" ] ||
    { echo "$build/libfault_shim.so missing: build the target fault_shim" >&2; exit 1; }
cp "$build/libfault_shim.so" "$bin/"
mode=${FAULT_POINTS:-ci}
jobs=${FAULT_JOBS:-2}
video_stride=${FAULT_VIDEO_STRIDE:-8}
# The runner's calls: few, and a fault there can leave a tool behind.
whole_video_kinds="process wait"
time_limit=30
started=$SECONDS

declare -A kind_of_call kind_of_helper faults_of retried_of
kinds=()
while IFS='|' read -r kind main helpers faults retried; do
    kind=${kind// /}
    [ -z "$kind" ] || [ "${kind:0:1}" = "#" ] && continue
    kinds+=("$kind")
    for call in $main; do kind_of_call[$call]=$kind; done
    for call in $helpers; do [ "$call" = - ] || kind_of_helper[$call]=$kind; done
    faults_of[$kind]=$(echo $faults)
    retried_of[$kind]=$(echo $retried)
done <"$here/failure-points.txt"

declare -A want output_of clean_status_of
output_of=([audio]="Evening News.mp3" [video]="Evening News.mp4" [earlier]="Evening News.mp3")
clean_status_of=([audio]=0 [video]=0 [earlier]=1)
earlier_text="an earlier run's output"
printf '#!/bin/sh\necho "failed on purpose" >&2; exit 3\n' >"$bin/fails"
chmod 755 "$bin/fails"

# A fresh scratch home for one run of the scenario in DIR; sets home, config and log.
prepare_home() {
    local dir=$1 scenario=$2
    home=$dir/home
    config=$home/config
    log=$home/pelkar.log
    mkdir -p "$home/out" "$home/tmp" "$home/rec" "$config"
    write_recording
    want=([audio]=1 [strip]=0 [twopass]=0 [ffmpeg]=normal [evtdump]=normal [rtvedit]=normal)
    [ "$scenario" = video ] && want[audio]=0 want[strip]=1 want[twopass]=1
    [ "$scenario" = earlier ] && want[ffmpeg]=fails
    write_profile "$config/pelkar.ini"
    cp "$config/pelkar.ini" "$dir/profile.before"
    if [ "$scenario" = earlier ]; then
        echo "$earlier_text" >"$home/out/${output_of[earlier]}"
        touch -d 2020-01-01 "$home/out/${output_of[earlier]}"
    fi
    [ -n "${as_user[*]}" ] && chown -R 65534:65534 "$dir"
}

# Runs pelkar on the recording, after the words given (strace, or env with the shim); sets
# status. Every process of the run carries the marker FAULT_SWEEP_RUN=DIR in its environment.
launch() {
    local dir=$1 title=$2 options
    shift 2
    set_host_options "$title"
    timeout -k 2 "$time_limit" env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS \
        XDG_CONFIG_HOME="$config" FAULT_SWEEP_RUN="$dir" "${as_user[@]}" "$@" \
        "$bin/pelkar" "${options[@]}" >/dev/null 2>>"$dir/stderr"
    status=$?
}

# The processes still carrying the run's marker, as "pid:name".
processes_of_run() {
    local environ pid
    for environ in $(grep -lsxzF "FAULT_SWEEP_RUN=$1" /proc/[0-9]*/environ); do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        echo "$pid:$(cat "/proc/$pid/comm" 2>/dev/null)"
    done
}

end_processes() {
    local process
    for process in "$@"; do kill -KILL "${process%%:*}" 2>/dev/null; done
}

normalised() {
    LC_ALL=C sed "s|$home|~|g" "$1"
}

temp_profiles() {
    ls -A "$config" | grep -vxF -e pelkar.ini -e pelkar.ini.lock | paste -sd ' '
}

# The clean runs of a scenario: the calls of the main thread (strace) and of the helper
# threads (shim), the output, canonical profile and log lines that every point compares with.
record_scenario() {
    local scenario=$1 dir=$scratch/clean-$1
    mkdir -p "$dir" "$dir-shim"
    prepare_home "$dir-shim" "$scenario"
    launch "$dir-shim" "Evening News" env LD_PRELOAD="$bin/libfault_shim.so" \
        FAULT_SHIM_RECORD="$dir-shim/helper-calls"
    [ "$status" -eq "${clean_status_of[$scenario]}" ] ||
        { echo "clean $scenario run with the shim: exit $status" >&2; exit 1; }
    prepare_home "$dir" "$scenario"
    launch "$dir" "Evening News" strace -qq -o "$dir/trace"
    [ "$status" -eq "${clean_status_of[$scenario]}" ] ||
        { echo "clean $scenario run: exit $status" >&2; exit 1; }
    normalised "$home/out/${output_of[$scenario]}" >"$scratch/$scenario.output"
    normalised "$config/pelkar.ini" >"$scratch/$scenario.profile"
    run_entries >"$scratch/$scenario.entries"
    grep -m 1 ' exited with status ' "$scratch/$scenario.entries" >"$scratch/$scenario.why"
    sed -n 's/^\([a-z0-9_]*\)(.*/\1/p' "$dir/trace" | sort | uniq -c \
        >"$scratch/$scenario.main-calls"
    sort "$dir-shim/helper-calls" | uniq -c >"$scratch/$scenario.helper-calls"
    # When no name can be made for the stripped copy, the conversion goes on without stripping.
    if [ "$scenario" = video ]; then
        prepare_home "$dir-unstripped" video
        want[strip]=0
        write_profile "$config/pelkar.ini"
        launch "$dir-unstripped" "Evening News"
        normalised "$home/out/${output_of[video]}" >"$scratch/video.output-unstripped"
    fi
}

# Lists the points of the calls recorded in a file, one a line: scenario, where, kind, call,
# Nth, fault. WHERE is main or helper; KINDS names the array of the kinds of those calls.
points_from() {
    local scenario=$1 where=$2 count call n fault kind
    local -n kinds_of=$3
    while read -r count call; do
        kind=${kinds_of[$call]:-}
        [ -n "$kind" ] || continue
        for n in $(seq "$count"); do
            for fault in ${faults_of[$kind]} SIGKILL; do
                echo "$scenario $where $kind $call $n $fault"
            done
        done
    done <"$scratch/$scenario.$where-calls"
}

points_of() {
    points_from "$1" main kind_of_call
    points_from "$1" helper kind_of_helper
}

# The run's log entries, with its home and the random part of its temporary names left out.
run_entries() {
    log_entries | LC_ALL=C sed "s|$home|~|g; s|/mst[A-Za-z0-9]\{6\}\.|/mstXXXXXX.|g"
}

# Lines of the run's log that a clean run does not write.
new_log_entries() {
    run_entries | grep -vxF -f "$scratch/$1.entries"
}

# True when the fault hit a call on one of the run's own files or pipes and is one that pelkar
# must get over.
must_get_over() {
    local where=$1 kind=$2 fault=$3 seen=$4
    [[ " ${retried_of[$kind]} " == *" $fault "* ]] &&
        { [ "$where" = helper ] || [[ $seen == *"$home/"* ]]; }
}

# A profile that vanished as the run loaded it makes a first run, which has no action yet.
is_first_run() {
    local fault=$1 seen=$2
    [ "$fault" = ENOENT ] && [[ $seen == "openat("*"\"$config/pelkar.ini\""* ]] &&
        [ ! -e "$home/out/${output_of[$scenario]}" ]
}

# A conversion that went on without stripping, as its log says, has that conversion's output.
went_on_unstripped() {
    [ -f "$2" ] && new_log_entries "$1" | grep -q 'converting without stripping commercials$' &&
        normalised "$2" | cmp -s - "$scratch/$1.output-unstripped"
}

# What a run left and did, against the invariants; sets problems.
check_run() {
    local dir=$1 scenario=$2 where=$3 kind=$4 fault=$5 reached=$6 seen=$7
    local output=$home/out/${output_of[$2]} killed=no left reason temps file name
    [ "$fault" = SIGKILL ] && [ "$reached" = yes ] && killed=yes
    problems=""
    [ "$status" -eq 124 ] && problems+=" ran past the time limit ($time_limit s);"
    if [ "$killed" = yes ]; then
        # A SIGKILL leaves its tool running until the tool ends by itself.
        for _ in $(seq $((time_limit * 10))); do
            [ -z "$(processes_of_run "$dir")" ] && break
            sleep 0.1
        done
    fi
    left=$(processes_of_run "$dir")
    if [ -n "$left" ]; then
        problems+=" left running: $(echo $left);"
        end_processes $left
    fi

    if [ ! -s "$config/pelkar.ini" ]; then
        problems+=" profile empty or missing;"
    elif ! cmp -s "$config/pelkar.ini" "$dir/profile.before" &&
        ! normalised "$config/pelkar.ini" | cmp -s - "$scratch/$scenario.profile"; then
        problems+=" profile neither the old bytes nor the canonical content"
        problems+=" ($(grep -c . "$config/pelkar.ini") lines,"
        problems+=" $(grep -c '^action[0-9]*=.' "$config/pelkar.ini") actions);"
    fi
    temps=$(temp_profiles)
    if [ -n "$temps" ] && [ "$killed" = yes ]; then
        launch "$dir" "Morning Show"
        [ -n "$(temp_profiles)" ] &&
            problems+=" temporary profile not removed by the next run: $temps;"
    elif [ -n "$temps" ]; then
        problems+=" temporary profile left: $temps;"
    fi

    cmp -s "$home/rec/show.mpg" "$scratch/show.mpg" || problems+=" recording changed;"
    cmp -s "$home/rec/show.evt" "$scratch/show.evt" || problems+=" .evt changed;"
    if [ "$scenario" = earlier ]; then
        [ "$(cat "$output" 2>/dev/null)" = "$earlier_text" ] ||
            problems+=" the earlier output removed or changed;"
        [ "$killed" = no ] && [ "$status" -eq 0 ] && ! is_first_run "$fault" "$seen" &&
            problems+=" exit 0 though FFMPEG failed;"
    fi

    if [ -s "$log" ]; then
        [ -z "$(tail -c 1 "$log")" ] || problems+=" log ends inside a line;"
        grep -q ".$log_prefix" "$log" && problems+=" log has a line cut short;"
    fi

    if [ "$status" -eq 0 ]; then
        [ -f "$output" ] && normalised "$output" | cmp -s - "$scratch/$scenario.output" ||
            is_first_run "$fault" "$seen" || went_on_unstripped "$scenario" "$output" ||
            problems+=" exit 0 without the complete output;"
    elif [ "$killed" = no ] && [ "$status" -ne 124 ]; then
        [ -f "$output" ] && ! normalised "$output" | cmp -s - "$scratch/$scenario.output" &&
            problems+=" exit $status and the unfinished output left;"
        [ "$status" -gt 128 ] && problems+=" ended by signal $((status - 128));"
        reason=$(new_log_entries "$scenario" | grep -vxF 'RunAction(): Action failed.' | head -n 1)
        # A run that fails as its clean run does says why as that one does.
        [ "$status" -eq "${clean_status_of[$scenario]}" ] && [ -s "$scratch/$scenario.why" ] &&
            run_entries | grep -qxF -f "$scratch/$scenario.why" && reason=clean
        [ -s "$dir/stderr" ] || [ -n "$reason" ] ||
            problems+=" exit $status without a line saying why;"
    fi
    [ "$reached" = yes ] && [ "$status" -ne "${clean_status_of[$scenario]}" ] &&
        must_get_over "$where" "$kind" "$fault" "$seen" && problems+=" $fault not got over;"
    if [ "$killed" = no ]; then
        for file in $(cd "$home" && find out tmp -mindepth 1 ! -name "${output_of[$scenario]}"); do
            name=$(sed 's/^mst[A-Za-z0-9]\{6\}\./mstXXXXXX./' <<<"${file##*/}")
            new_log_entries "$scenario" | grep -qF "/$name" || problems+=" left $file;"
        done
    fi
}

# One failure point in a scratch home of its own; writes its result line to DIR/result.
run_point() {
    local id=$1 scenario=$2 where=$3 kind=$4 call=$5 n=$6 fault=$7 dir=$scratch/p$1 reached
    local inject=$5:error=$7:when=$6 seen=""
    mkdir -p "$dir"
    prepare_home "$dir" "$scenario"
    if [ "$where" = main ]; then
        [ "$fault" = SIGKILL ] && inject=$call:signal=SIGKILL:when=$n
        launch "$dir" "Evening News" strace -qq -y -o "$dir/trace" -e trace="$call" \
            -e inject="$inject"
        seen=$(grep "^$call(" "$dir/trace" | sed -n "${n}p" | cut -c 1-200)
        [ -n "$seen" ] && reached=yes || reached=no
    else
        launch "$dir" "Evening News" env LD_PRELOAD="$bin/libfault_shim.so" \
            FAULT_SHIM_CALL="$call" FAULT_SHIM_WHEN="$n" FAULT_SHIM_FAULT="$fault" \
            FAULT_SHIM_HIT="$dir/hit"
        [ -s "$dir/hit" ] && reached=yes || reached=no
    fi
    check_run "$dir" "$scenario" "$where" "$kind" "$fault" "$reached" "$seen"
    if [ -n "$problems" ]; then
        {
            echo "$scenario $where $call #$n $fault: exit $status;$problems"
            [ -n "$seen" ] && echo "  call: $seen"
            echo "  log: $(log_entries | grep -v '^~CPELKARDialog' | tail -n 2 | paste -sd '|')"
            echo "  stderr: $(head -n 2 "$dir/stderr" | paste -sd '|')"
        } | LC_ALL=C sed "s|$home|~|g" >"$dir/violation"
    fi
    local broken=0
    [ -n "$problems" ] && broken=1
    echo "$scenario $where $kind $call $n $fault $reached $broken" >"$dir/result"
    chmod -R u+rwX "$home" && rm -rf "$home"
}

home=$scratch/pristine
mkdir -p "$home/rec"
write_recording
cp "$home/rec/show.mpg" "$home/rec/show.evt" "$scratch/"

record_scenario audio
record_scenario video
record_scenario earlier
points_of audio >"$scratch/points"
for scenario in video earlier; do
    if [ "$mode" = all ] || [ -n "${FAULT_ONLY:-}" ]; then
        points_of "$scenario" >>"$scratch/points"
    else
        points_of "$scenario" | awk -v stride="$video_stride" -v whole=" $whole_video_kinds " \
            'index(whole, " " $3 " ") || NR % stride == 1' >>"$scratch/points"
    fi
done
if [ -n "${FAULT_ONLY:-}" ]; then
    grep -E "$FAULT_ONLY" "$scratch/points" >"$scratch/only"
    mv "$scratch/only" "$scratch/points"
fi

running=0
id=0
while read -r point; do
    id=$((id + 1))
    # shellcheck disable=SC2086
    run_point "$id" $point 2>>"$scratch/runner-errors" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done <"$scratch/points"
wait
seconds=$((SECONDS - started))

cat "$scratch"/p*/result >"$scratch/results"
cat "$scratch"/p*/violation >"$violations_file" 2>/dev/null || : >"$violations_file"
tried=$(wc -l <"$scratch/results")
violated=$(awk '$8 == 1' "$scratch/results" | wc -l)

calls_of_kind() {
    local scenario=$1 kind=$2 count call total=0
    while read -r count call; do
        [ "${kind_of_call[$call]:-}" = "$kind" ] && total=$((total + count))
    done <"$scratch/$scenario.main-calls"
    while read -r count call; do
        [ "${kind_of_helper[$call]:-}" = "$kind" ] && total=$((total + count))
    done <"$scratch/$scenario.helper-calls"
    echo "$total"
}

# The calls of a kind in the array named, sorted, on one line.
calls_named() {
    local -n kinds_of=$1
    local call
    for call in "${!kinds_of[@]}"; do [ "${kinds_of[$call]}" = "$2" ] && echo "$call"; done |
        sort | paste -sd ' '
}

table_row() {
    local kind=$1 points reached broken helpers
    read -r points reached broken < <(awk -v kind="$kind" \
        '$3 == kind { p++; r += ($7 == "yes"); v += $8 } END { print p + 0, r + 0, v + 0 }' \
        "$scratch/results")
    helpers=$(calls_named kind_of_helper "$kind")
    echo "| $kind | $(calls_named kind_of_call "$kind") | ${helpers:--}" \
        "| $(calls_of_kind audio "$kind") / $(calls_of_kind video "$kind")" \
        "/ $(calls_of_kind earlier "$kind")" \
        "| ${faults_of[$kind]} SIGKILL | $points | $reached | $broken |"
}

{
    echo "| Kind of call | Main thread (strace) | Reader and reaper threads (shim)" \
        "| Calls, audio / video / earlier-output run | Faults, each call | Points tried | Reached | Violations |"
    echo "|---|---|---|---|---|---|---|---|"
    for kind in "${kinds[@]}"; do table_row "$kind"; done
    echo
    if [ "$mode" = all ]; then
        echo "Every point of both runs (\`FAULT_POINTS=all\`), $jobs runs at once, in $seconds s:"
    else
        echo "Every point of the audio run; of the video run and the run with an earlier" \
            "output, every point of the kinds" \
            "${whole_video_kinds// / and } and every ${video_stride}th other one;" \
            "$jobs runs at once, in $seconds s:"
    fi
    echo "$tried failure points tried, $violated violations"
} >"$table"

if [ "$mode" = all ]; then
    {
        echo "The last full run, on $(date -u '+%Y-%m-%d') at commit" \
            "$(git -C "$here" rev-parse --short HEAD 2>/dev/null || echo unknown):"
        echo
        cat "$table"
    } >"$here/failure-points-full.md"
fi
# The shell notes each run that the sweep killed; anything else is the sweep's own error.
grep -vF 'timeout -k 2' "$scratch/runner-errors" | head -n 20 >&2
[ "$violated" -eq 0 ] || head -n 40 "$violations_file" >&2
echo "failure points: $tried tried, $violated violations, $seconds s; table in $table"
[ "$violated" -eq 0 ]
