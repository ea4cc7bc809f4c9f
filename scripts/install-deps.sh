#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests, the Debian package, the
# sample run, the benchmarks and the reliability runs (sanitizers, fuzzing, fault matrix) need.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libnotify-dev libwxgtk3.2-dev
  ffmpeg comskip
  dbus-daemon
  xvfb xauth xdotool imagemagick
  file desktop-file-utils appstream man-db
  hyperfine
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine64 fonts-wine zip unzip
  clang libfuzzer-14-dev libclang-rt-14-dev
  time procps strace
)

# The shipped PELKAR.EXE is a 32-bit program: Debian's 32-bit Wine runs it, beside wine64.
packages+=(wine32:i386)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
