#!/usr/bin/env bash
# The real program's tray icon under Xvfb with trayer as the tray host: F12 hides
# the window, the icon's menu Restore shows it again on the calculator page it
# left, and the menu's Close ends the program without writing corvalo.ini.
# Without any tray host F12 minimises and the window stays reachable.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"
command -v trayer >/dev/null || fail "trayer is not installed"

trayer --SetDockType false --transparent false --edge bottom --align left \
  >"$e2e_tmp/trayer.log" 2>&1 &
trayer_pid=$!
e2e_pids+=("$trayer_pid")
wait_for 100 xdotool search --onlyvisible --pid "$trayer_pid" || fail "trayer did not start"

start_corvalo() { launch_corvalo "$e2e_tmp/corvalo-$1.log"; }
width_of() { xdotool getwindowgeometry "$1" | awk '/Geometry/ { split($2, s, "x"); print s[1] }'; }
# The icon trayer holds: the program's one small shown window.
icon_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    (( $(width_of "$w") <= 64 )) && { echo "$w"; return 0; }
  done
  return 1
}

start_corvalo tray
wait_for 100 icon_window || { cat "$log" >&2; fail "no icon in the tray"; }
icon=$(icon_window)
echo "icon in the tray from the start"

# The calculator page with 15 on its display, then F12.
keys_to "$main" F9
keys_to "$main" 1 2 plus 3 Return
keys_to "$main" ctrl+c
wait_for 100 clipboard_is "15" || fail "the calculator did not show 15"
printf 'other' | xclip -selection clipboard
keys_to "$main" F12
wait_for 100 hidden || fail "F12 left the window shown with a tray host"
kill -0 "$pid" || fail "F12 ended the program"
echo "F12 hides the window; the icon stays"

open_menu || fail "the icon's menu did not open"
xdotool key r
wait_for 100 shown || fail "the menu's Restore did not bring the window back"
keys_to "$main" ctrl+c
wait_for 100 clipboard_is "15" ||
  fail "after Restore Ctrl+C gave «$(xclip -o -selection clipboard)»: not the calculator page"
echo "the menu's Restore shows the window on the calculator page with its 15"

open_menu || fail "the icon's menu did not open"
xdotool key c
wait_for 100 bash -c "! kill -0 $pid" || fail "the menu's Close did not end the program"
wait "$pid" || { cat "$log" >&2; fail "the program ended with an error"; }
[[ ! -e corvalo.ini ]] || fail "the tray's Close wrote corvalo.ini"
echo "the tray's Close ends the program without writing corvalo.ini"

# No tray host at all.
kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null || true
start_corvalo notray
iconic() { xprop -id "$main" WM_HINTS 2>/dev/null | grep -q "Iconic State"; }
! iconic || fail "the window started minimised"
keys_to "$main" F12
wait_for 100 iconic || fail "F12 without a tray host did not minimise"
shown || fail "F12 without a tray host lost the window"
icon_window >/dev/null && fail "an icon without a tray host"
echo "without a tray host F12 minimises and the window stays"
