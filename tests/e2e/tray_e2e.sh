#!/usr/bin/env bash
# The tray icon under Xvfb with trayer as the tray host: F12 hides the window in
# the tray, a double-click (left or middle) and the menu's Restore bring it back on
# the same page, the menu's Close ends the program without its close (nothing
# written). Without a tray host F12 minimises; a tray that appears later gets the
# icon, and a tray that goes away gives the hidden window back.
set -euo pipefail
harness=$(realpath "$1")
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"
command -v trayer >/dev/null || fail "trayer is not installed"

trayer_pid=""
start_trayer() {
  trayer --SetDockType false --transparent false --edge bottom --align left \
    >>"$e2e_tmp/trayer.log" 2>&1 &
  trayer_pid=$!
  e2e_pids+=("$trayer_pid")
  wait_for 100 xdotool search --onlyvisible --pid "$trayer_pid" || fail "trayer did not start"
}
stop_trayer() {
  kill "$trayer_pid"
  wait "$trayer_pid" 2>/dev/null || true
}

log=""
pid=""
start_harness() {
  log="$e2e_tmp/harness-$1.log"
  "$harness" >"$log" 2>"$log.err" &
  pid=$!
  e2e_pids+=("$pid")
  wait_for 100 main_window || { cat "$log" "$log.err" >&2; fail "no window"; }
  main=$(main_window)
}

# Lines of the harness log from line $seen on; `seen` moves with mark().
seen=0
mark() { seen=$(wc -l <"$log"); }
said() { tail -n "+$((seen + 1))" "$log" | grep -qx "$1"; }
expect() {
  wait_for 100 said "$1" || { cat "$log" "$log.err" >&2; fail "expected «$1» $2"; }
}
width_of() { xdotool getwindowgeometry "$1" | awk '/Geometry/ { split($2, s, "x"); print s[1] }'; }
# Shown windows of the harness wider (main) or narrower (the icon trayer holds) than 64.
harness_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    if [[ $1 == wide ]]; then (( $(width_of "$w") > 64 )) || continue
    else (( $(width_of "$w") <= 64 )) || continue; fi
    echo "$w"
    return 0
  done
  return 1
}
main_window() { harness_window wide; }
icon_window() { harness_window narrow; }
shrink() {
  mark
  keys_to "$main" F12
  expect "shrunk to tray" "after F12 with a tray host"
  wait_for 100 hidden || fail "F12 left the window shown"
}
restored_on_page_2() {
  expect "OnRestore" "$1"
  expect "shown page 2" "$1"
  wait_for 100 shown || fail "the window did not come back $1"
}

# With a tray host from the start.
start_trayer
start_harness tray
expect "icon added" "with trayer running"
wait_for 100 icon_window || fail "no icon window in the tray"
icon=$(icon_window)

keys_to "$main" F9
shrink
mark
xdotool mousemove --window "$icon" 6 6 click --repeat 2 --delay 60 1
restored_on_page_2 "on a left double-click"
echo "F12 hides the window; a double-click brings it back on page 2"

shrink
mark
xdotool mousemove --window "$icon" 6 6 click --repeat 2 --delay 60 2
restored_on_page_2 "on a middle double-click"
echo "a middle double-click restores as well"

shrink
mark
open_menu || fail "the icon's menu did not open"
xdotool key r
restored_on_page_2 "through the menu's Restore"
echo "the menu's Restore brings it back"

open_menu || fail "the icon's menu did not open"
xdotool key c
wait_for 100 bash -c "! kill -0 $pid" || fail "the menu's Close did not end the program"
wait "$pid" || { cat "$log.err" >&2; fail "the program ended with an error"; }
grep -qx "loop ended" "$log" || fail "the loop did not end normally"
! grep -qx "settings written" "$log" || fail "the menu's Close ran the window's close"
[[ ! -e harness.ini ]] || fail "the menu's Close wrote the settings"
echo "the menu's Close ends the program without writing the settings"

# Without a tray host, then with one that comes and goes.
stop_trayer
start_harness notray
seen=0
expect "no tray" "without trayer"
mark
keys_to "$main" F12
expect "minimised" "after F12 without a tray host"
shown || fail "F12 without a tray host lost the window"
echo "without a tray host F12 minimises and the window stays"

start_trayer
expect "icon added" "once trayer started"
shrink
mark
stop_trayer
expect "icon removed" "once trayer quit"
expect "OnRestore" "once trayer quit"
wait_for 100 shown || fail "the window stayed hidden after the tray went away"
echo "the icon follows the tray host; its leaving gives the window back"

mark
keys_to "$main" Escape
expect "settings written" "on the window's own close"
wait_for 100 bash -c "! kill -0 $pid" || fail "closing the window did not end the program"
wait "$pid" || { cat "$log.err" >&2; fail "the program ended with an error"; }
[[ -s harness.ini ]] || fail "the window's close did not write harness.ini"
echo "closing the window writes the settings"
