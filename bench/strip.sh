#!/usr/bin/env bash
# The stripping tools on generated recordings with known breaks: a 30-minute one with four
# breaks of 15 and 30 s spots and fades in the show (two with silence, two without), an
# 8-minute one with one break, and an 8-minute one without commercials; each stripped from its
# event file and by comskip. For each it prints the show lost, the commercial kept per break,
# the breaks invented, the decode errors of the copy, its duration against the kept time, and
# the strip stage's time as a share of the recording's length. The recordings are kept in
# CACHE_DIR, when one is given, and made again only when missing there.
#
#   bench/strip.sh [BUILD_DIR [SIZE [CACHE_DIR]]]      (defaults: build 720x480, none)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
size="${2:-720x480}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cache="${3:-$work}"
mkdir -p "$cache"

declare -A pieces=(
  [30min]="show:217 quietfade:1.5 show:5 break:30,15,15,30 show:250 fade:1 show:150
           break:15,15,30,15,30 show:200 quietfade:1 show:177 break:30,30,15,15 show:92
           fade:2 show:251 break:15,30,30,15,15 show:61"
  [8min]="show:100 quietfade:1 show:80 break:15,15,30 show:150 fade:1 show:88"
  [none]="show:200 quietfade:1 show:120 fade:1 show:158"
)

now() { date +%s.%N; }

# strip NAME METHOD: runs the two tools as PELKAR does and prints one table row.
strip() {
  local name="$1" method="$2" recording="$work/$1.mpg" script="$work/$1-$2.script"
  local copy="$work/$1-$2-copy.mpg" start end errors duration
  [ "$method" = comskip ] && mv "$work/$name.evt" "$work/$name.evt.away"
  start="$(now)"
  "$build/pelkar-evtdump" "$work/$name.evt" >"$script"
  { printf 'T%s\n' "$copy"; cat "$script"; printf '\n'; } | "$build/pelkar-rtvedit" >/dev/null
  end="$(now)"
  [ "$method" = comskip ] && mv "$work/$name.evt.away" "$work/$name.evt"
  errors="$(ffmpeg -v error -i "$copy" -f null - 2>&1 | wc -l)"
  duration="$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$copy")"
  awk -v name="$name" -v method="$method" -v errors="$errors" -v duration="$duration" \
      -v seconds="$(echo "$end - $start" | bc)" '
    FNR == 1 { file++ }
    file == 1 && $1 == "commercial" { cs[++nc] = $2; ce[nc] = $3 }
    file == 1 && $1 == "length" { length_ = $2 }
    file == 2 && $1 == "keep" { ks[++nk] = $2; ke[nk] = ($3 == "-" ? -1 : $3) }
    file == 2 && $1 == "#" && $2 == "break" { fs[++nf] = $3; fe[nf] = $5 }
    function overlap(a, b, c, d) { a = a > c ? a : c; b = b < d ? b : d; return b > a ? b - a : 0 }
    END {
      kept = 0; commercialKept = ""; lost = 0
      for (k = 1; k <= nk; k++) { if (ke[k] < 0) ke[k] = length_; kept += ke[k] - ks[k] }
      show = length_
      for (c = 1; c <= nc; c++) show -= ce[c] - cs[c]
      keptShow = kept
      for (c = 1; c <= nc; c++) {
        inBreak = 0
        for (k = 1; k <= nk; k++) inBreak += overlap(ks[k], ke[k], cs[c], ce[c])
        keptShow -= inBreak
        commercialKept = commercialKept sprintf("%s%.1f", c > 1 ? "/" : "", inBreak)
      }
      lost = show - keptShow
      # Sums of three-decimal times leave a rounding rest, which would print as "-0.00".
      if (lost < 0 && lost > -0.005) lost = 0
      invented = 0
      for (f = 1; f <= nf; f++) {
        real = 0
        for (c = 1; c <= nc; c++) if (overlap(fs[f], fe[f], cs[c], ce[c]) > 0) real = 1
        if (!real) invented++
      }
      printf "| %-5s | %-10s | %6.1f | %7.2f | %-19s | %d | %d | %7.1f | %7.1f | %+5.2f | %5.2f %% |\n",
        name, method, length_, lost, nc ? commercialKept : "-", invented, errors,
        kept, duration, duration - kept, 100 * seconds / length_
    }' "$work/$name.truth" "$script"
}

echo "Recordings ${size}, MPEG-2 29.97 fps, mp2 audio; made in (or kept from an earlier run):"
for name in 30min 8min none; do
  start="$(now)"
  made="$cache/$name-$size"
  if [ ! -s "$made.truth" ]; then
    # shellcheck disable=SC2086
    "$build/make_recording" "$made.mpg" "$size" little ${pieces[$name]} >"$made.truth.new"
    mv "$made.truth.new" "$made.truth"
    printf '  %s: %.0f s\n' "$name" "$(echo "$(now) - $start" | bc)"
  else
    printf '  %s: earlier, kept in %s\n' "$name" "$cache"
  fi
  for extension in mpg evt truth; do ln -s "$(realpath "$made.$extension")" "$work/$name.$extension"; done
done
echo
echo "| rec   | method     | length | show lost s | commercial kept s per break | invented | decode errors | kept s | copy s | copy-kept | strip time |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
for name in 30min 8min none; do
  for method in eventfile comskip; do strip "$name" "$method"; done
done
