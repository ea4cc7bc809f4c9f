#!/usr/bin/env bash
# Shows PELKAR at work: builds everything, makes a short TV-like recording and runs build/pelkar
# on it twice, the way the DVArchive host would after a download. The first run matches an
# audio-only action (an mp3), the second only a two-pass video action after it (an mp4). A
# third run strips the commercials from a recording with a break and converts the rest to an
# mp3, and says how much was cut.
# Everything it makes stays under sample/; the user's own profile is not touched. Re-runnable.
#
#   scripts/sample.sh              install what is missing, build, run the sample
#   scripts/sample.sh --no-build   run the sample with the programs already built
#
# FFMPEG, EVTDump and RTVEdit are left at their defaults, pelkar-ffmpeg, pelkar-evtdump and
# pelkar-rtvedit, which pelkar finds beside itself.
#
# Environment: PELKAR_BIN_DIR (where pelkar and its tools are, default build/),
# PELKAR_SAMPLE_DIR (default sample/), PELKAR_SAMPLE_SECONDS (recording length, default 22).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

case "${1:-}" in
  "") "$root/scripts/install-deps.sh" && "$root/scripts/build.sh" ;;
  --no-build) ;;
  *) echo "usage: $0 [--no-build]" >&2 && exit 2 ;;
esac

bin_dir="$(cd "${PELKAR_BIN_DIR:-$root/build}" && pwd)"
mkdir -p "${PELKAR_SAMPLE_DIR:-$root/sample}"
sample_dir="$(cd "${PELKAR_SAMPLE_DIR:-$root/sample}" && pwd)"
seconds="${PELKAR_SAMPLE_SECONDS:-22}"
# The recording maker is a helper of the build, never installed.
maker="$root/build/make_recording"
[ -x "$bin_dir/make_recording" ] && maker="$bin_dir/make_recording"
for program in "$bin_dir/pelkar" "$bin_dir/pelkar-ffmpeg" "$bin_dir/pelkar-evtdump" \
  "$bin_dir/pelkar-rtvedit" "$maker"; do
  [ -x "$program" ] || { echo "$0: $program is missing" >&2 && exit 1; }
done

recording="$sample_dir/recording.mpg"
config_dir="$sample_dir/config"
out_dir="$sample_dir/out"
temp_dir="$sample_dir/tmp"
log_file="$sample_dir/pelkar.log"

# A recording with a break of two spots between 25 and 50 s, with the event file the recorder
# writes beside it; make_recording prints where the commercials lie and the whole length.
breaks="$sample_dir/breaks.mpg"
"$maker" "$breaks" 720x480 little show:20 quietfade:1 show:4 break:15,10 \
  show:17 >"$sample_dir/breaks.truth"

# A recording as a TV card writes it: an MPEG-2 program stream with MPEG audio. It is kept
# between runs unless its length changes.
if [ "$(cat "$sample_dir/recording.seconds" 2>/dev/null)" != "$seconds" ] || [ ! -s "$recording" ]; then
  ffmpeg -nostdin -loglevel error -y \
    -f lavfi -i "testsrc2=duration=$seconds:size=720x480:rate=30000/1001" \
    -f lavfi -i "sine=frequency=440:duration=$seconds:sample_rate=48000" \
    -c:v mpeg2video -b:v 5M -c:a mp2 -b:a 192k -ac 2 -f vob "$recording"
  echo "$seconds" >"$sample_dir/recording.seconds"
fi

. "$root/scripts/stored-action.sh"

rm -rf "$config_dir" "$out_dir" "$temp_dir" "$log_file"
mkdir -p "$config_dir" "$out_dir" "$temp_dir"
{
  echo "[PELKAR]"
  echo "action00=$(stored_action "Sample radio as mp3" "$out_dir" %title% 1 0 0 1 "Radio*")"
  echo "action01=$(stored_action "Sample stripped show as mp3" "$out_dir" %title% 1 1 0 1 "Stripped*")"
  echo "action02=$(stored_action "Sample video as mp4" "$out_dir" %title% 0 0 1 1 "*")"
  echo "tempPath=$temp_dir/"
  echo "logging=1"
  echo "loggingPath=$log_file"
} >"$config_dir/pelkar.ini"

# The host's post-download command: all thirteen options, each with its value.
run_pelkar() {
  local title="$1" episode="$2" category="$3" source="${4:-$recording}"
  XDG_CONFIG_HOME="$config_dir" "$bin_dir/pelkar" --mpeg "$source" --title "$title" \
    --episode "$episode" --startdate 2011-03-07 --starttime 13:00 --dur 30 --showid 1001 \
    --dname "Sample Box" --dcat "$category" --dchan 7 --rname "Sample Box" \
    --rcat "$category" --rchan 7
}

echo "Converting $recording for the audio action..."
run_pelkar "Radio Play" "Pilot" "Drama"
echo "Converting $recording for the video action (two passes)..."
run_pelkar "Late Movie" "1" "Movie"
echo "Stripping the commercials from $breaks and converting the rest..."
run_pelkar "Stripped Show" "2" "Drama" "$breaks"

mp3="$out_dir/Radio Play.mp3"
mp4="$out_dir/Late Movie.mp4"
stripped="$out_dir/Stripped Show.mp3"
status=0
for file in "$mp3" "$mp4" "$stripped"; do
  [ -s "$file" ] || { echo "$0: $file was not written; see the log" >&2 && status=1; }
done

echo
echo "mp3: $mp3"
echo "mp4: $mp4"
duration() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1" 2>/dev/null || echo 0; }
awk -v recorded="$(duration "$breaks")" -v kept="$(duration "$stripped")" '
  $1 == "commercial" { commercial += $3 - $2 }
  END {
    printf "stripped mp3: %.1f s of a %.1f s recording, %.1f s cut (the break: %.1f s)\n",
      kept, recorded, recorded - kept, commercial
  }' "$sample_dir/breaks.truth"
echo "  $stripped"
echo "log: $log_file"
exit "$status"
