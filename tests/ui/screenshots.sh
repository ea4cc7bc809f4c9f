#!/usr/bin/env bash
# Opens PELKAR's four windows on a virtual display, the way a user would (clicks and keys), and
# saves a screenshot of each: BUILD_DIR/screenshots/main.png, action.png, settings.png and
# about.png. On the way it edits an action and a setting in the windows and checks that both
# land in the profile. Fails when a window does not open or close as it should.
#
#   tests/ui/screenshots.sh PELKAR_EXE BUILD_DIR
#
# Needs xvfb-run, xdotool and ImageMagick's import. The user's own profile and display are not
# touched: the script runs on a display of its own with a scratch profile.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PELKAR_EXE BUILD_DIR" >&2
  exit 2
fi

# Everything below runs on a private display.
if [ -z "${PELKAR_SCREENSHOTS_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" \
    env PELKAR_SCREENSHOTS_DISPLAY=1 "$0" "$@"
fi

pelkar="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
shots="$2/screenshots"
mkdir -p "$shots"
home="$(mktemp -d)"
profile="$home/pelkar.ini"
pelkar_pid=""

cleanup() {
  if [ -n "$pelkar_pid" ] && kill -0 "$pelkar_pid" 2>/dev/null; then kill "$pelkar_pid"; fi
  rm -rf "$home"
}
trap cleanup EXIT

fail() {
  echo "screenshots: $*" >&2
  exit 1
}

. "$(dirname "$0")/../../scripts/stored-action.sh"

{
  echo "[PELKAR]"
  echo "action00=$(stored_action "News to MP3" "$home/out" "%title%-%startdate%" 1 0 0 1 "*News*")"
  echo "action01=$(stored_action "Movies small" "$home/out" "%title%" 0 0 0 8 "Movie*")"
  echo "action02=$(stored_action "Documentaries" "$home/out" "%title% %episode%" 0 0 0 2 "*")"
} >"$profile"

# The id of the visible window with exactly this title; waits up to ten seconds for it. The
# search itself ignores case, so the title is compared again ("PELKAR" is not "pelkar").
wait_for_window() {
  local title="$1" id
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      if [ "$(xdotool getwindowname "$id")" = "$title" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

wait_until_gone() {
  local id="$1"
  for _ in $(seq 100); do
    xdotool getwindowname "$id" >/dev/null 2>&1 || return 0
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$id" || return 0
    sleep 0.1
  done
  return 1
}

open_window() {
  local title="$1" id
  id="$(wait_for_window "$title")" || fail "the window \"$title\" did not open"
  # Without a window manager nothing gives a new window the keyboard.
  xdotool windowfocus --sync "$id"
  sleep 0.3
  echo "$id"
}

# Clicks the point given in dialog units of a window whose template is WIDTH x HEIGHT units;
# the layout scales evenly, so the point is the same fraction of the window.
click_at() {
  local id="$1" x="$2" y="$3" template_width="$4" template_height="$5"
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove --window "$id" $((x * WIDTH / template_width)) \
    $((y * HEIGHT / template_height)) click 1
  sleep 0.3
}

shoot() {
  import -window "$1" "$shots/$2.png"
  echo "screenshots: $shots/$2.png"
}

profile_value() {
  sed -n "s/^$1=//p" "$profile"
}

export XDG_CONFIG_HOME="$home"
# Under the leak checker: fontconfig keeps its caches until the process ends.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "$0")/.." && pwd)/wx/desktop-leaks.supp}"
"$pelkar" &
pelkar_pid=$!

# Main window (221 x 150 units).
main="$(open_window PELKAR)"
shoot "$main" main
xdotool key Escape
sleep 0.3
wait_for_window PELKAR >/dev/null || fail "Esc closed the main window"

# Action editor (315 x 252): the first action, renamed in the window.
click_at "$main" 84 93 221 150
editor="$(open_window "Edit Action")"
shoot "$editor" action
xdotool key Escape
sleep 0.3
wait_for_window "Edit Action" >/dev/null || fail "Esc closed the action editor"
click_at "$editor" 40 33 315 252
xdotool key ctrl+a
xdotool type --delay 20 "Evening news"
click_at "$editor" 230 238 315 252
wait_until_gone "$editor" || fail "OK did not close the action editor"
case "$(profile_value action00)" in
  "Evening news||"*) ;;
  *) fail "the renamed action is not in the profile: $(profile_value action00)" ;;
esac

# Settings (257 x 244): the FFMPEG path, typed over the one shown.
click_at "$main" 32 135 221 150
settings="$(open_window Settings)"
shoot "$settings" settings
xdotool key ctrl+a
xdotool type --delay 20 "/opt/ffmpeg/bin/ffmpeg"
click_at "$settings" 172 231 257 244
wait_until_gone "$settings" || fail "OK did not close the settings"
[ "$(profile_value ffmpegPath)" = "/opt/ffmpeg/bin/ffmpeg" ] ||
  fail "the FFMPEG path is not in the profile: $(profile_value ffmpegPath)"

# About box (170 x 81), closed with Esc.
click_at "$main" 136 135 221 150
about="$(open_window "About PELKAR 0.5")"
shoot "$about" about
xdotool key Escape
wait_until_gone "$about" || fail "Esc did not close the About box"

# Exit.
xdotool windowfocus --sync "$main"
click_at "$main" 188 135 221 150
for _ in $(seq 100); do
  kill -0 "$pelkar_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pelkar_pid" 2>/dev/null && fail "Exit did not end the program"
wait "$pelkar_pid" || fail "the program ended with status $?"
pelkar_pid=""
echo "screenshots: all four windows opened, edits saved"
