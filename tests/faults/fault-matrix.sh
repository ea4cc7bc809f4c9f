#!/usr/bin/env bash
# Runs the fault matrix (matrix.txt beside this script) through a build's pelkar and the
# stand-in tools, one scratch home per row, and checks each row's expectations. Writes what
# each run showed as a Markdown table to TABLE_FILE, with pelkar's peak memory and the
# figures of the concurrent runs. Fails when a row shows something other than expected.
#
# Usage: tests/faults/fault-matrix.sh BUILD_DIR [TABLE_FILE]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/scratch-home.sh"
set_up_scratch "$1"
table=${2:-$build/fault-matrix.md}

# Tools that misbehave. A tool that runs until stopped writes its process id first, so that
# the stop comes once it runs.
tool() {
    printf '#!/bin/sh\n%s\n' "$2" >"$bin/$1"
    chmod 755 "$bin/$1"
}
write_dest='for dest; do :; done; echo converted >"$dest"'
progress='frame=  100 fps= 30 q=5.0 size=    1234kB time=00:00:03.33 bitrate= 384.0kbits/s'
tool fails 'echo "failed on purpose" >&2; exit 3'
tool segv 'ulimit -c 0; kill -SEGV $$'
tool partial "$write_dest; exit 3"
tool hang 'echo $$ >"$FAULT_PID_FILE"; exec sleep 600'
tool silent "$write_dest"
tool nul "printf 'Duration: 00:00:20.00\\0, start: 0.0,\\n\\0\\0frame=\\0 12\\r\\0' >&2; $write_dest"
tool badutf8 "printf '\\377\\376 Duration: \\342\\202 00:00:20.00, start: 0\\303\\050,\\nframe= \\300\\200\\r' >&2
$write_dest"
tool 100mb "yes '$progress' | head -c 104857600; $write_dest"
tool endless 'echo $$ >"$FAULT_PID_FILE"; yes abcdefghijklmnopqrstuvwxyz | tr -d "\n"'
# A transcoder for pelkar-ffmpeg that names its encoders, then converts until stopped.
tool hang-transcoder '[ "$2" = -encoders ] && exit 0; echo $$ >"$FAULT_PID_FILE"; exec sleep 600'
# EVTDump whose script is far more than a pipe holds.
tool bigscript "yes 'cut 10 22' | head -c 300000"
tool pass2fails 'case " $* " in *" -pass 2 "*) exit 1 ;; esac'"
$write_dest"
# RTVEdit that leaves the temporary folder read-only behind it.
tool lockstemp "\"$bin/standin_rtvedit\" \"\$@\"; status=\$?
chmod 555 \"\$(dirname \"\$FAULT_PID_FILE\")/tmp\"; exit \$status"
# RTVEdit that writes its files and then hangs, the first time only.
tool writeshang "[ -s \"\$FAULT_PID_FILE\" ] && exec \"$bin/standin_rtvedit\"
read -r line; stem=\${line#T}; stem=\${stem%.mpg}
for extension in mpg ndx evt; do echo stripped >\"\$stem.\$extension\"; done
echo \$\$ >\"\$FAULT_PID_FILE\"; exec sleep 600"
cp "$bin/fails" "$bin/noexec"
chmod 644 "$bin/noexec"

for i in $(seq 0 255); do printf "\\$(printf %o "$i")"; done >"$scratch/every-byte"

set_up_profile() {
    local profile=$config/pelkar.ini
    case $1 in
        normal | readonly | readonly-folder) write_profile "$profile" ;;
        missing) ;;
        empty) : >"$profile" ;;
        junk) for _ in $(seq 16); do cat "$scratch/every-byte"; done >"$profile" ;;
        10mb)
            write_profile "$profile"
            { echo "[Other]"; yes 'key=a value of the foreign section' | head -c 10485760; } >>"$profile"
            ;;
        dangling-link) mkdir "$home/dotfiles" && ln -s "$home/dotfiles/pelkar.ini" "$profile" ;;
        fifo) mkfifo "$profile" ;;
        devzero) ln -s /dev/zero "$profile" ;;
        sparse) truncate -s 60G "$profile" ;;
        link-loop) ln -s pelkar.ini "$profile" ;;
        utf16be) printf '\376\377\000[\000P\000]\000\n' >"$profile" ;;
    esac
    [ "$1" = readonly ] && chmod 444 "$profile"
    [ "$1" = readonly-folder ] && chmod 555 "$config"
}

set_up_log() {
    case $1 in
        normal) log=$home/pelkar.log ;;
        missing-folder) log=$home/no-folder/pelkar.log ;;
        devfull) log=/dev/full ;;
        fifo) log=$home/pelkar.log && mkfifo "$log" ;;
        # Lines of 17 bytes: up to 315 bytes short of a 100 KiB file-size limit, or 200 KB.
        near-limit) log=$home/pelkar.log && yes 'an earlier entry' | head -n 6005 >"$log" ;;
        over-limit) log=$home/pelkar.log && yes 'an earlier entry' | head -n 12047 >"$log" ;;
        full-at-last-line) log=$home/pelkar.log ;;
        readonly) log=$home/pelkar.log && : >"$log" && chmod 444 "$log" ;;
        readonly-folder) mkdir "$home/logs" && chmod 555 "$home/logs" && log=$home/logs/pelkar.log ;;
    esac
}

# Files in the temporary folder as a run leaves them: "killed" those of a run that ended without
# cleaning up, "live" those of a run still going (a process holds the lock on the name),
# "foreign" files that are not shaped like our temporary names.
set_up_leftovers() {
    local name
    case $1 in
        killed | live) for name in mstAbC123.tmp mstAbC123.mpg mstAbC123.ndx mstAbC123.evt; do
            echo left >"$home/tmp/$name"
        done ;;
        foreign) for name in mst.tmp mstAbC12.tmp mstAbC1234.tmp mstAbC123.tmp.bak mstAbC123.mpg \
            other123.tmp mst-bC123.tmp; do
            echo left >"$home/tmp/$name"
        done ;;
    esac
    if [ "$1" = live ]; then
        # The holder waits for the lock, which the check below takes for a moment too.
        (exec 9<"$home/tmp/mstAbC123.tmp" && flock 9 && exec sleep 600) &
        holder=$!
        # The run starts once the lock is held.
        for _ in $(seq 100); do
            flock -n "$home/tmp/mstAbC123.tmp" true || break
            sleep 0.05
        done
    fi
}

# Runs pelkar in the background with the host's options and the title given, under GNU time
# for its peak memory (that of pelkar or of a tool it ran, whichever is larger, in kB) and its
# wall time, written to time.TAG; sets pid. A host may start it with SIGCHLD ignored.
start_run() {
    local options
    set_host_options "$1"
    local host=() limit=()
    [ "${want[sigchld]}" = ignored ] && host=(--ignore-signal=CHLD)
    [ "${want[blocked]}" = stop ] && host+=(--block-signal=TERM,INT,HUP)
    [ -n "${want[fsize]}" ] && limit=(prlimit --fsize=$((want[fsize] * 1024)))
    /usr/bin/time -f '%M %e' -o "$home/time.$2" "${limit[@]}" env "${host[@]}" \
        -u DISPLAY -u WAYLAND_DISPLAY \
        -u DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME="$config" FAULT_PID_FILE="$home/tool.pid" \
        PELKAR_FFMPEG="$bin/hang-transcoder" ${want[comskip]:+PELKAR_COMSKIP="$bin/${want[comskip]}"} \
        "${as_user[@]}" "${tracer[@]}" "$bin/pelkar" "${options[@]}" >/dev/null 2>>"$home/stderr" &
    pid=$!
}

# The log's last line meets a full disk: a first run counts the entries a run logs, then the
# run of the row goes under strace, which fails that many-th write to the log (each entry is
# one write of the main thread) with ENOSPC.
fail_last_log_line() {
    start_run "Evening News" run
    wait_run
    # LeakSanitizer cannot work under a tracer and would end a sanitizer build's run with 1.
    tracer=(env "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
        strace -qq -o /dev/null -P "$log" -e trace=write
        -e inject=write:error=ENOSPC:when="$(log_entries | wc -l)")
    rm -f "$log" "$home/out/"*
}

# Waits for the run; sets status and peak.
wait_run() {
    wait "$pid"
    status=$?
    peak=$(tail -n 1 "$home/time.run" | cut -d ' ' -f 1)
}

# Waits, for 30 seconds at the most, until the run's tool has written its process id.
wait_for_tool() {
    for _ in $(seq 600); do
        [ -s "$home/tool.pid" ] && break
        sleep 0.05
    done
}

# The signal given to pelkar (the child of GNU time) once its tool has run for the seconds
# given; sets tool_session to the session that the tool and whatever it started run in.
signal_when_tool_runs() {
    wait_for_tool
    sleep "$2"
    tool_session=$(ps -o sid= -p "$(cat "$home/tool.pid")" | tr -d ' ')
    pkill "-$1" -P "$pid"
}

# Whether anything of the killed run's tool is still alive 3 seconds after the kill. Whatever
# is left is ended, so that no row leaves a process behind.
tool_outlived_pelkar() {
    [ -n "$tool_session" ] || return 1
    sleep 3
    local left
    left=$(pgrep -s "$tool_session")
    pkill -KILL -s "$tool_session"
    [ -n "$left" ]
}

# SIGKILL to pelkar once its tool has run for the seconds given; the tool, which may outlive
# it, is ended too.
kill_when_tool_runs() {
    wait_for_tool
    sleep "$1"
    pkill -KILL -P "$pid"
    wait "$pid"
    kill -KILL "$(cat "$home/tool.pid")" 2>/dev/null
}

# The first line read that matches the pattern ("*" stands for any text).
matching_entry() {
    local entry
    while IFS= read -r entry; do
        # shellcheck disable=SC2053
        if [[ $entry == $1 ]]; then
            echo "$entry"
            return
        fi
    done
}

files_left() {
    local left
    left=$(cd "$home" && find out tmp config -mindepth 1 ! -type d \
        ! -path config/pelkar.ini ! -path config/pelkar.ini.lock | LC_ALL=C sort | paste -sd ' ')
    echo "${left:--}"
}

# A profile that is no regular file, or too large to copy, is compared by what stat says of it.
profile_state() {
    local profile=$config/pelkar.ini
    if [ ! -e "$profile" ]; then
        echo none
    elif [ -e "$home/profile.stat" ]; then
        [ "$(profile_stat)" = "$(cat "$home/profile.stat")" ] && echo unchanged || echo rewritten
    elif [ ! -e "$home/profile.before" ]; then
        echo created
    elif cmp -s "$profile" "$home/profile.before"; then
        echo unchanged
    else
        echo rewritten
    fi
}

# Runs N at once with titles of their own; checks that the log and the profile came through.
concurrent_runs() {
    local count=$1 pids=() i started failed=0 wall slowest outputs lines_per_run
    started=$(date +%s%N)
    for i in $(seq -w "$count"); do
        start_run "Evening News $i" "$i"
        pids+=("$pid")
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=$((failed + 1))
    done
    wall=$((($(date +%s%N) - started) / 1000000))
    peak=$(tail -q -n 1 "$home"/time.* | sort -n | tail -n 1 | cut -d ' ' -f 1)
    slowest=$(tail -q -n 1 "$home"/time.* | cut -d ' ' -f 2 | sort -n | tail -n 1)
    outputs=$(find "$home/out" -name '*.mp4' | wc -l)
    lines_per_run=$(grep -o '^[A-Z][a-z][a-z] [A-Z][a-z][a-z] [0-9 :APM]* <[0-9]*>: ' "$log" |
        sed 's/.*<\([0-9]*\)>: /\1/' | sort | uniq -c | awk '{ print $1 }' | sort -u | paste -sd ' ')
    # One paragraph for each row of runs at once.
    concurrency+="${concurrency:+$'\n\n'}$fault: $failed failed, $outputs outputs,"
    concurrency+=" all done in $wall ms"
    concurrency+=" (the slowest run $slowest s, the largest $(((peak + 512) / 1024)) MB);"
    concurrency+=" log lines per run: $lines_per_run (one count means no run lost a line);"
    concurrency+=" profile sections: $(grep -c '^\[PELKAR\]' "$config/pelkar.ini"),"
    concurrency+=" keys: $(grep -c '=' "$config/pelkar.ini")"
    [ "$outputs" -eq "$count" ] && [ "$(wc -w <<<"$lines_per_run")" -eq 1 ] &&
        [ "$(grep -c '=' "$config/pelkar.ini")" -eq 81 ] || failed=$((failed + 1))
    status=$failed
}

profile_stat() {
    stat -c '%F %s %i %Y' "$config/pelkar.ini"
}

# Whether the log, a regular file, ends inside an entry.
log_ends_mid_entry() {
    [ -f "$log" ] && [ -s "$log" ] && [ -n "$(tail -c 1 "$log")" ]
}

trim() {
    sed 's/^[[:space:]]*//; s/[[:space:]]*$//' <<<"$1"
}

# A table cell: bars escaped, the row's scratch home shown as "~".
cell() {
    local text=${1//|/\\|}
    text=${text//$home/\~}
    echo "${text:-(none)}"
}

failures=0
rows=0
concurrency=""
{
    echo "| Fault | Exit status | Log's last lines | Standard error | Left on disk | Profile | Peak memory |"
    echo "|---|---|---|---|---|---|---|"
} >"$table"

while IFS='|' read -r fault setup expect_status expect_line expect_left expect_profile; do
    fault=$(trim "$fault")
    [ -z "$fault" ] || [ "${fault:0:1}" = "#" ] && continue
    rows=$((rows + 1))
    home=$scratch/row$rows
    config=$home/config
    mkdir -p "$home/out" "$home/tmp" "$home/rec" "$config"
    write_recording
    declare -A want=([audio]=1 [strip]=0 [twopass]=0 [ffmpeg]=normal [evtdump]=normal
        [rtvedit]=normal [profile]=normal [log]=normal [stop]="" [kill]="" [killfirst]=""
        [sigchld]="" [blocked]="" [fsize]="" [runs]=1 [output]="" [leftover]="" [comskip]="")
    for word in $setup; do
        case $word in
            audio) ;;
            video) want[audio]=0 ;;
            strip) want[strip]=1 ;;
            twopass) want[twopass]=1 ;;
            *=*) want[${word%%=*}]=${word#*=} ;;
        esac
    done
    set_up_log "${want[log]}"
    set_up_profile "${want[profile]}"
    set_up_leftovers "${want[leftover]}"
    [ "${want[output]}" = earlier ] && echo earlier >"$home/out/Evening News.mp3"
    case ${want[profile]} in
        fifo | devzero | sparse) profile_stat >"$home/profile.stat" ;;
        *) [ -f "$config/pelkar.ini" ] && cp "$config/pelkar.ini" "$home/profile.before" 2>/dev/null ;;
    esac
    [ -n "${as_user[*]}" ] && chown -R 65534:65534 "$home"

    peak=0
    tool_session=""
    tracer=()
    [ "${want[log]}" = full-at-last-line ] && fail_last_log_line
    if [ "${want[runs]}" -gt 1 ]; then
        concurrent_runs "${want[runs]}"
    else
        # A run killed first leaves its files for the run that follows it.
        if [ -n "${want[killfirst]}" ]; then
            start_run "Evening News" run
            kill_when_tool_runs "${want[killfirst]}"
        fi
        start_run "Evening News" run
        [ -n "${want[stop]}" ] && signal_when_tool_runs TERM "${want[stop]}"
        [ -n "${want[kill]}" ] && signal_when_tool_runs KILL "${want[kill]}"
        wait_run
    fi
    [ "${want[leftover]}" = live ] && kill "$holder"

    entries=$(log_entries | grep -v '^~CPELKARDialog(): PELKAR terminating.$')
    left=$(files_left)
    state=$(profile_state)
    error=$(head -n 1 "$home/stderr" 2>/dev/null)
    problems=""
    [ "$status" = "$(trim "$expect_status")" ] || problems+=" exit status $status;"
    # The line that says what happened, then the last one; a line expected on standard error
    # is given as "stderr: TEXT".
    expect_line=$(trim "$expect_line")
    shown=$(tail -n 1 <<<"$entries")
    case $expect_line in
        -) ;;
        "stderr: "*) grep -qF -- "${expect_line#stderr: }" <<<"$error" || problems+=" stderr;" ;;
        *)
            found=$(matching_entry "$expect_line" <<<"$entries")
            if [ -z "$found" ]; then
                problems+=" log line missing;"
            elif [ "$found" != "$shown" ]; then
                shown="$found<br>…<br>$shown"
            fi
            ;;
    esac
    expect_left=$(trim "$expect_left")
    [ "$expect_left" = "*" ] || [ "$left" = "$expect_left" ] || problems+=" left $left;"
    [ "$state" = "$(trim "$expect_profile")" ] || problems+=" profile $state;"
    tool_outlived_pelkar && problems+=" a tool outlived pelkar;"
    log_ends_mid_entry && problems+=" the log ends mid-entry;"
    if [ -n "$problems" ]; then
        failures=$((failures + 1))
        echo "FAILED: $fault:$problems" >&2
        echo "  log: $(tail -n 3 <<<"$entries")" >&2
        echo "  stderr: $error" >&2
    fi
    [ "${want[runs]}" -gt 1 ] && left="${want[runs]} × out/Evening News NN.mp4"
    memory=$([ "$peak" -gt 0 ] && echo "$(((peak + 512) / 1024)) MB" || echo "-")
    echo "| $(cell "$fault") | $status | $(cell "$shown") | $(cell "$error") | $(cell "$left") | $state | $memory |" >>"$table"
    # A finished row's files are not needed; the 100 MB rows would fill the disk.
    chmod -R u+rwX "$home" && rm -rf "$home"
done <"$here/matrix.txt"

[ -n "$concurrency" ] && printf '\n%s\n' "$concurrency" >>"$table"
echo "fault matrix: $rows rows, $failures failed; table in $table"
[ "$failures" -eq 0 ]
