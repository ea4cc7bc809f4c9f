# Sourced by the fault matrix and the failure-point sweep: a scratch folder with pelkar, its
# FFMPEG front end, its own stripping tools and the stand-in tools of a build, the user the
# runs go as, and the profile and log of a post-download run.
#
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/stored-action.sh"

# set_up_scratch BUILD_DIR sets build (its full path), scratch (removed on exit) and bin.
set_up_scratch() {
    build=$(cd "$1" && pwd)
    scratch=$(mktemp -d /tmp/pelkar-faults-XXXXXX)
    trap 'chmod -R u+rwX "$scratch"; rm -rf "$scratch"' EXIT
    chmod 755 "$scratch"
    bin=$scratch/bin
    mkdir -p "$bin"
    cp "$build"/pelkar "$build"/pelkar-ffmpeg "$build"/standin_ffmpeg "$build"/standin_evtdump \
        "$build"/standin_rtvedit "$build"/pelkar-evtdump "$build"/pelkar-rtvedit "$bin"/
}

# Permissions do not stop root, so as root the runs go as an unprivileged user: read-only
# files and folders then mean what they say.
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

tool_path() {
    case $1 in
        normal) echo "$bin/standin_$2" ;;
        missing) echo "$bin/no-such-tool" ;;
        frontend) echo "$bin/pelkar-ffmpeg" ;;
        *) echo "$bin/$1" ;;
    esac
}


# The profile of one action for the recordings titled "Evening*", as the associative array
# want describes it (audio, strip, twopass, and the ffmpeg, evtdump and rtvedit tools), logging
# to $log.
write_profile() {
    cat >"$1" <<PROFILE
[PELKAR]
action00=$(stored_action Archive "$home/out" %title% "${want[audio]}" "${want[strip]}" \
    "${want[twopass]:-0}" 1 "Evening*")
ffmpegPath=$(tool_path "${want[ffmpeg]}" ffmpeg)
evtDumpPath=$(tool_path "${want[evtdump]}" evtdump)
rtvEditPath=$(tool_path "${want[rtvedit]}" rtvedit)
tempPath=$home/tmp/
logging=1
loggingPath=$log
PROFILE
}

# A recording of the host and its commercial list, in $home/rec.
write_recording() {
    printf '0123456789COMMERCIAL--the rest of the show' >"$home/rec/show.mpg"
    printf 'cut 10 22\n' >"$home/rec/show.evt"
}

# Sets options: the host's options for the recording, with the title given.
set_host_options() {
    options=(--mpeg "$home/rec/show.mpg" --title "$1" --episode 4 --startdate 2011-03-07
        --starttime 13:00 --dur 30 --showid 1234 --dname Box --dcat Drama --dchan 7
        --rname Box --rcat Drama --rchan 7)
}

# What begins each line pelkar logs: its time and process id.
log_prefix='[A-Z][a-z][a-z] [A-Z][a-z][a-z] [0-9][0-9] '
log_prefix+='[0-9][0-9]:[0-9][0-9]:[0-9][0-9] [AP]M [0-9]\{4\} <[0-9]*>: '

# The log's entries without their prefix, tool output lines left out.
log_entries() {
    [ -f "$log" ] || return 0
    sed -n "s/^$log_prefix//p" "$log"
}
