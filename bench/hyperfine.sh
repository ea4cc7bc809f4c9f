#!/usr/bin/env bash
# The comparison of bench_conversion's first part, timed from outside with hyperfine: the
# sample converted by a one-pass video action through build/pelkar, and with the command line
# PELKAR runs started directly. Both ways give the transcoder a session of its own, as PELKAR's
# runner does (setsid for the direct way), and both outputs go through a pipe.
#
#   bench/hyperfine.sh [sample.mpg [runs]]
#
# Needs hyperfine, ffmpeg, and build/pelkar and build/pelkar-ffmpeg. Without a sample it makes
# the 30-second recording that bench_conversion makes. It prints hyperfine's report, then the
# wall-time ratio pelkar/direct of the medians, the ratio of the CPU time of all processes, and
# PELKAR's own CPU time as the difference of the two.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build"
runs="${2:-5}"
for program in pelkar pelkar-ffmpeg; do
  [ -x "$bin/$program" ] || { echo "$0: $bin/$program is missing" >&2 && exit 1; }
done

scratch="$(mktemp -d "${TMPDIR:-/tmp}/pelkar-hyperfine-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
if [ $# -ge 1 ]; then
  sample="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
else
  sample="$scratch/sample.mpg"
  echo "Making a 30 s sample recording..."
  ffmpeg -nostdin -loglevel error -y \
    -f lavfi -i "testsrc2=duration=30:size=720x480:rate=30000/1001" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=30" \
    -c:v mpeg2video -b:v 5M -c:a mp2 -b:a 192k -ac 2 -f vob "$sample"
fi

# The same action and settings as bench_conversion's, FFMPEG left at its default.
mkdir -p "$scratch/config" "$scratch/out"
. "$(dirname "$0")/../scripts/stored-action.sh"
{
  echo "[PELKAR]"
  echo "action00=$(stored_action "Bench video" "$scratch/out" %title% 0 0 0 1 "Bench*")"
  echo "tempPath=$scratch/"
  echo "logging=1"
  echo "loggingPath=$scratch/pelkar.log"
} >"$scratch/config/pelkar.ini"
export XDG_CONFIG_HOME="$scratch/config"

destination="$scratch/out/Bench Sample.mp4"
direct="setsid -w '$bin/pelkar-ffmpeg' -y -i '$sample' -bitexact -vcodec xvid -s 320x240 -b 384"
direct+=" -minrate 32 -maxrate 400 -bt 16 -r 29.97 -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130"
direct+=" -f psp '$destination'"
through="'$bin/pelkar' --mpeg '$sample' --title 'Bench Sample' --episode 1"
through+=" --startdate 2011-03-07 --starttime 13:00 --dur 30 --showid 1001 --dname Bench"
through+=" --dcat Movie --dchan 7 --rname Bench --rcat Movie --rchan 7"

hyperfine -N --warmup 1 --runs "$runs" --output=pipe --export-csv "$scratch/times.csv" \
  -n direct "$direct" -n "through pelkar" "$through"

grep -q "Executing command: pelkar-ffmpeg -y -i \"$sample\"" "$scratch/pelkar.log" ||
  echo "Warning: pelkar ran another command than the direct one" >&2

# command,mean,stddev,median,user,system,min,max
awk -F, '
  NR == 2 { wall = $4; cpu = $5 + $6 }
  NR == 3 {
    printf "wall-time ratio pelkar/direct of the medians: %.4f (%.3f s / %.3f s)\n", $4 / wall, $4, wall
    printf "CPU time of all processes: direct %.3f s, through pelkar %.3f s, ratio %.4f\n", cpu, $5 + $6, ($5 + $6) / cpu
    printf "pelkar'"'"'s own CPU, as the difference: %.4f s\n", $5 + $6 - cpu
  }' "$scratch/times.csv"
