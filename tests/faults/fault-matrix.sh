#!/usr/bin/env bash
# Runs the fault matrix (matrix.txt beside this script) through a build's pelkar and the
# stand-in tools, one scratch home per row, and checks each row's expectations. Writes what
# each run showed as a Markdown table to TABLE_FILE, with pelkar's peak memory and the
# figures of the concurrent runs. Fails when a row shows something other than expected.
#
# Usage: tests/faults/fault-matrix.sh BUILD_DIR [TABLE_FILE]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
table=${2:-$build/fault-matrix.md}
scratch=$(mktemp -d /tmp/pelkar-faults-XXXXXX)
trap 'chmod -R u+rwX "$scratch"; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"

# Permissions do not stop root, so as root the runs go as an unprivileged user: read-only
# files and folders then mean what they say.
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

bin=$scratch/bin
mkdir -p "$bin"
cp "$build"/pelkar "$build"/standin_ffmpeg "$build"/standin_evtdump "$build"/standin_rtvedit "$bin"/

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
tool hang 'echo $$ >"$FAULT_PID_FILE"; exec sleep 600'
tool silent "$write_dest"
tool nul "printf 'Duration: 00:00:20.00\\0, start: 0.0,\\n\\0\\0frame=\\0 12\\r\\0' >&2; $write_dest"
tool badutf8 "printf '\\377\\376 Duration: \\342\\202 00:00:20.00, start: 0\\303\\050,\\nframe= \\300\\200\\r' >&2
$write_dest"
tool 100mb "yes '$progress' | head -c 104857600; $write_dest"
tool endless 'echo $$ >"$FAULT_PID_FILE"; yes abcdefghijklmnopqrstuvwxyz | tr -d "\n"'
cp "$bin/fails" "$bin/noexec"
chmod 644 "$bin/noexec"

tool_path() {
    case $1 in
        normal) echo "$bin/standin_$2" ;;
        missing) echo "$bin/no-such-tool" ;;
        *) echo "$bin/$1" ;;
    esac
}

stored_action() {
    local text="Archive||$home/out||%title%||$1||$2||0||0|||0||<NULL>||1||Evening*||"
    for _ in $(seq 11); do text+="0||<NULL>||"; done
    echo "$text"
}

write_profile() {
    cat >"$1" <<EOF
[PELKAR]
action00=$(stored_action "${want[audio]}" "${want[strip]}")
ffmpegPath=$(tool_path "${want[ffmpeg]}" ffmpeg)
evtDumpPath=$(tool_path "${want[evtdump]}" evtdump)
rtvEditPath=$(tool_path "${want[rtvedit]}" rtvedit)
tempPath=$home/tmp/
logging=1
loggingPath=$log
EOF
}

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
        link-loop) ln -s pelkar.ini "$profile" ;;
    esac
    [ "$1" = readonly ] && chmod 444 "$profile"
    [ "$1" = readonly-folder ] && chmod 555 "$config"
}

set_up_log() {
    case $1 in
        normal) log=$home/pelkar.log ;;
        missing-folder) log=$home/no-folder/pelkar.log ;;
        devfull) log=/dev/full ;;
        readonly) log=$home/pelkar.log && : >"$log" && chmod 444 "$log" ;;
        readonly-folder) mkdir "$home/logs" && chmod 555 "$home/logs" && log=$home/logs/pelkar.log ;;
    esac
}

# Runs pelkar in the background with the host's options and the title given, under GNU time
# for its peak memory (that of pelkar or of a tool it ran, whichever is larger, in kB) and its
# wall time, written to time.TAG; sets pid.
start_run() {
    local options=(--mpeg "$home/rec/show.mpg" --title "$1" --episode 4 --startdate 2011-03-07
        --starttime 13:00 --dur 30 --showid 1234 --dname Box --dcat Drama --dchan 7
        --rname Box --rcat Drama --rchan 7)
    /usr/bin/time -f '%M %e' -o "$home/time.$2" env -u DISPLAY -u WAYLAND_DISPLAY \
        -u DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME="$config" FAULT_PID_FILE="$home/tool.pid" \
        "${as_user[@]}" "$bin/pelkar" "${options[@]}" >/dev/null 2>>"$home/stderr" &
    pid=$!
}

# Waits for the run; sets status and peak.
wait_run() {
    wait "$pid"
    status=$?
    peak=$(tail -n 1 "$home/time.run" | cut -d ' ' -f 1)
}

# SIGTERM to pelkar (the child of GNU time) once its tool has run for the seconds given.
stop_when_tool_runs() {
    for _ in $(seq 600); do
        [ -s "$home/tool.pid" ] && break
        sleep 0.05
    done
    sleep "$1"
    pkill -TERM -P "$pid"
}

# The log's entries without their prefix, tool output lines left out.
log_entries() {
    [ -f "$log" ] || return 0
    sed -n 's/^[A-Z][a-z][a-z] [A-Z][a-z][a-z] [0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9] [AP]M [0-9]\{4\} <[0-9]*>: //p' "$log"
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

profile_state() {
    local profile=$config/pelkar.ini
    if [ ! -e "$profile" ]; then
        echo none
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
    concurrency="$count runs at once: $failed failed, $outputs outputs, all done in $wall ms"
    concurrency+=" (the slowest run $slowest s, the largest $(((peak + 512) / 1024)) MB);"
    concurrency+=" log lines per run: $lines_per_run (one count means no run lost a line);"
    concurrency+=" profile sections: $(grep -c '^\[PELKAR\]' "$config/pelkar.ini"),"
    concurrency+=" keys: $(grep -c '=' "$config/pelkar.ini")"
    [ "$outputs" -eq "$count" ] && [ "$(wc -w <<<"$lines_per_run")" -eq 1 ] &&
        [ "$(grep -c '=' "$config/pelkar.ini")" -eq 81 ] || failed=$((failed + 1))
    status=$failed
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
    printf '0123456789COMMERCIAL--the rest of the show' >"$home/rec/show.mpg"
    printf 'cut 10 22\n' >"$home/rec/show.evt"
    declare -A want=([audio]=1 [strip]=0 [ffmpeg]=normal [evtdump]=normal [rtvedit]=normal
        [profile]=normal [log]=normal [stop]="" [runs]=1)
    for word in $setup; do
        case $word in
            audio) ;;
            video) want[audio]=0 ;;
            strip) want[strip]=1 ;;
            *=*) want[${word%%=*}]=${word#*=} ;;
        esac
    done
    set_up_log "${want[log]}"
    set_up_profile "${want[profile]}"
    [ -f "$config/pelkar.ini" ] && cp "$config/pelkar.ini" "$home/profile.before" 2>/dev/null
    [ -n "${as_user[*]}" ] && chown -R 65534:65534 "$home"

    peak=0
    if [ "${want[runs]}" -gt 1 ]; then
        concurrent_runs "${want[runs]}"
    else
        start_run "Evening News" run
        [ -n "${want[stop]}" ] && stop_when_tool_runs "${want[stop]}"
        wait_run
    fi

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
