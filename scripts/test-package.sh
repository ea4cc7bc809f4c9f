#!/usr/bin/env bash
# Checks PELKAR as a user gets it: builds the Debian package from build/, installs it with
# apt-get, checks the installed menu entry, metadata, manual pages and window, lets the
# installed pelkar convert the sample (an mp3 and a two-pass mp4, FFMPEG left at its default),
# and removes the package again. Needs root (or sudo) and a build in build/.
#
# Outside CI it leaves a pelkar package that is already installed alone and checks nothing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

fail() {
  echo "test-package: $*" >&2
  exit 1
}

installed() {
  dpkg-query -W -f='${Status}' pelkar 2>/dev/null | grep -q "install ok installed"
}

apt() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"
}

if installed && [ "${CI:-}" != true ]; then
  echo "test-package: a pelkar package is installed already; it is left alone, nothing checked"
  exit 0
fi

cd "$root/build"
rm -f pelkar_*.deb
cpack -G DEB >/dev/null
debs=(pelkar_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single pelkar_*.deb"
deb="${debs[0]}"
echo "test-package: $deb"
dpkg-deb --field "$deb" Depends Recommends

work="$(mktemp -d "${TMPDIR:-/tmp}/pelkar-package-XXXXXX")"
cleanup() {
  installed && apt purge pelkar >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

apt install "./$deb" >/dev/null
installed || fail "apt-get did not install $deb"
for file in /usr/bin/pelkar /usr/bin/pelkar-ffmpeg /usr/lib/pelkar/pelkar-window.so; do
  [ -f "$file" ] || fail "$file is missing"
done

"$root/packaging/validate.sh" /usr/share/applications/org.example.pelkar.desktop \
  /usr/share/metainfo/org.example.pelkar.metainfo.xml \
  /usr/share/man/man1/pelkar.1.gz /usr/share/man/man1/pelkar-ffmpeg.1.gz

usage="$(cd "$work" && XDG_CONFIG_HOME="$work/config" pelkar --help)" ||
  fail "pelkar --help did not exit with 0"
grep -q "^Usage: pelkar --mpeg PATH" <<<"$usage" || fail "pelkar --help printed no usage"
echo "test-package: pelkar --help prints the usage"

# The window module is found from /usr/bin: the main window opens on a virtual display.
XDG_CONFIG_HOME="$work/config" xvfb-run -a bash -c '
  pelkar & pid=$!
  for _ in $(seq 100); do
    if xdotool search --onlyvisible --name "^PELKAR\$" >/dev/null 2>&1; then
      kill $pid; wait $pid; exit 0
    fi
    sleep 0.1
  done
  kill $pid 2>/dev/null; exit 1' || fail "the installed pelkar opened no window"
echo "test-package: the installed pelkar opens its window"

# The sample with the installed programs; the front end keeps its pass log in TMPDIR.
mkdir -p "$work/tmp"
TMPDIR="$work/tmp" PELKAR_BIN_DIR=/usr/bin PELKAR_SAMPLE_DIR="$work/sample" \
  PELKAR_SAMPLE_SECONDS=8 "$root/scripts/sample.sh" --no-build
streams() {
  ffprobe -v error -show_entries stream=codec_name,codec_type,width,height,sample_rate,channels \
    -of csv=p=0 "$1" | tr '\n' ' '
}
[ "$(streams "$work/sample/out/Radio Play.mp3")" = "mp3,audio,24000,2 " ] ||
  fail "the mp3 is not what the audio action makes"
[ "$(streams "$work/sample/out/Late Movie.mp4")" = "mpeg4,video,320,240 aac,audio,24000,2 " ] ||
  fail "the mp4 is not what the video action makes"
[ "$(grep -c "ProcessVideo(): Executing command: pelkar-ffmpeg -y -i" "$work/sample/pelkar.log")" -eq 2 ] ||
  fail "the video passes did not run the default pelkar-ffmpeg"
left="$(ls -A "$work/tmp")"
[ -z "$left" ] || fail "left in the temporary folder: $left"
echo "test-package: the installed pelkar converted the sample; no pass log is left"

apt purge pelkar >/dev/null
! installed || fail "the package could not be removed"
[ ! -e /usr/bin/pelkar ] || fail "/usr/bin/pelkar is still there after removal"
echo "test-package: $deb installed, checked and removed"
