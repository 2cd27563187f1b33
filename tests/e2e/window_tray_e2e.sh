#!/usr/bin/env bash
# The real program's tray icon under Xvfb with trayer as the tray host: F12 hides
# the window; a left or middle double-click on the icon brings it back on its page;
# a tray host that quits gives the hidden window back, and one that starts again
# gets the icon; the icon menu's Close ends the program without writing corvalo.ini.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session
command -v trayer >/dev/null || fail "trayer is not installed"

trayer_pid=""
start_trayer() {
  trayer --SetDockType false --transparent false --edge bottom --align left \
    >>"$e2e_tmp/trayer.log" 2>&1 &
  trayer_pid=$!
  e2e_pids+=("$trayer_pid")
  wait_for 10 xdotool search --onlyvisible --pid "$trayer_pid" || fail "trayer did not start"
}
stop_trayer() {
  kill "$trayer_pid" || fail "trayer was gone before it was stopped"
  wait "$trayer_pid" 2>/dev/null || true
  ! xdotool search --pid "$trayer_pid" >/dev/null 2>&1 || fail "trayer's window stayed"
}

width_of() { xdotool getwindowgeometry "$1" | awk '/Geometry/ { split($2, s, "x"); print s[1] }'; }
# The icon trayer holds: the program's one small shown window.
icon_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    (( $(width_of "$w") <= 64 )) && { echo "$w"; return 0; }
  done
  return 1
}
shown() { xwininfo -id "$main" 2>/dev/null | grep -q IsViewable; }
hidden() { ! shown; }
# F12 with something else on the clipboard, so that only the calculator page copies 15.
shrink() {
  printf 'other' | xclip -selection clipboard
  wait_for 5 clipboard_is "other" || fail "the clipboard could not be set"
  keys_to "$main" F12
  wait_for 10 hidden || fail "F12 left the window shown with a tray host"
}
back_on_the_calculator_page() {
  wait_for 10 shown || fail "the window did not come back $1"
  keys_to "$main" ctrl+c
  wait_for 10 clipboard_is "15" ||
    fail "back $1, Ctrl+C gave «$(clipboard)»: not the calculator page"
}

start_trayer
launch_corvalo "$e2e_tmp/run.log"
wait_for 10 icon_window || { cat "$run_log" >&2; fail "no icon in the tray"; }
icon=$(icon_window)
keys_to "$main" F9
keys_to "$main" 1 2 plus 3 Return
keys_to "$main" ctrl+c
wait_for 10 clipboard_is "15" || fail "the calculator did not show 15"

for button in 1 2; do
  shrink
  xdotool mousemove --window "$icon" 6 6 click --repeat 2 --delay 60 "$button"
  back_on_the_calculator_page "after a double-click with mouse button $button"
done
echo "F12 hides the window; a left or middle double-click brings it back on its page"

shrink
stop_trayer
back_on_the_calculator_page "when the tray host quit"
start_trayer
wait_for 10 icon_window || { cat "$run_log" >&2; fail "no icon once a tray host started again"; }
icon=$(icon_window)
echo "the icon follows the tray host; its leaving gives the window back"

# A right press just after a menu closed may end up in that menu: press again.
for try in 1 2 3; do
  xdotool mousemove --window "$icon" 6 6 click 3
  wait_for 3 menu_open && break
  ((try < 3)) || fail "the icon's menu did not open"
done
xdotool key c
wait_for 10 ended "$pid" || fail "the menu's Close did not end the program"
wait "$pid" || { cat "$run_log" >&2; fail "the program ended with an error"; }
[[ ! -e corvalo.ini ]] || fail "the tray's Close wrote corvalo.ini"
echo "the tray's Close ends the program without writing corvalo.ini"

