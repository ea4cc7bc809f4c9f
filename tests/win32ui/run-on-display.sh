#!/usr/bin/env bash
# Runs the test of the native dialogs under Wine on a virtual display of its own, then turns
# the screenshots it saved into PNG files:
#
#   run-on-display.sh WINE_RUN TEST_PROGRAM SCREENSHOT_DIR
set -euo pipefail
wine_run="$1" program="$2" shots="$3"
mkdir -p "$shots"
rm -f "$shots"/*.bmp
PELKAR_SCREENSHOT_DIR="Z:$shots" xvfb-run -a -s "-screen 0 1024x768x24" "$wine_run" "$program"
for image in "$shots"/*.bmp; do
  [ -e "$image" ] || continue
  convert "$image" "${image%.bmp}.png"
  rm "$image"
  echo "screenshot: ${image%.bmp}.png"
done
