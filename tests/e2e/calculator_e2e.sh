#!/usr/bin/env bash
# The real program under Xvfb: F9 opens the desk calculator, typed keys reach
# it, and Ctrl+C copies its entry. With SHOTS=<dir>, screenshots of the
# calculator page at its default size and at the minimum go there.
set -euo pipefail
corvalo=$(realpath "$1")
shots=${SHOTS:+$(realpath -m "$SHOTS")}
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

# Starts the program and sets $pid and $main (its window).
launch() {
  launch_corvalo "$e2e_tmp/run.log"
}

# Size of window $1 as "WxH": the menu bar and the page, no frame (no window manager).
window_size() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: //p'; }
# Whether window $1 holds a calculator page of $2 x $3 below its menu bar.
page_is() {
  local size w h
  size=$(window_size "$1"); w=${size%x*}; h=${size#*x}
  (( w == $2 && h > $3 && h <= $3 + 60 ))
}

# With SHOTS set: window $1 into $shots/$2, once it has painted.
shot() {
  [[ -n "$shots" ]] || return 0
  sleep 0.3
  mkdir -p "$shots"
  import -window "$1" "$shots/$2"
}

quit() {
  keys_to "$main" alt+f
  menu_open() { (( $(xdotool search --onlyvisible --pid "$pid" | wc -l) >= 2 )); }
  wait_for 50 menu_open || fail "the File menu did not open"
  xdotool key Return
  wait_for 100 bash -c "! kill -0 $pid" || fail "File > Exit did not end the program"
  wait "$pid" || { cat "$e2e_tmp/run.log" >&2; fail "the program ended with an error"; }
}

launch
grid_size=$(window_size "$main")
keys_to "$main" F9
# The calculator page has its stored size, 440 x 400 by default.
wait_for 100 page_is "$main" 440 400 ||
  fail "the calculator page is $(window_size "$main"), not 440x400 (grid page was $grid_size)"
echo "F9 opened the calculator page at 440x400"

keys_to "$main" 1 2 plus 3 equal
shot "$main" calculator-default.png
keys_to "$main" ctrl+c
wait_for 100 clipboard_is "15" ||
  fail "copy gave «$(xclip -o -selection clipboard 2>/dev/null)», not «15»"
echo "typed 12+3=, copied 15"
quit
grep -q '^Width=440' corvalo.ini || fail "the calculator width was not stored"

# A stored size below the minimum, starting on the calculator page.
printf '[Form]\r\nCalculator Default Startup=1\r\n[Calculator]\r\nWidth=100\r\nHeight=100\r\n' \
  > corvalo.ini
launch
wait_for 100 page_is "$main" 295 220 ||
  fail "the too small calculator is $(window_size "$main"), not 295x220"
keys_to "$main" 7 period 5
shot "$main" calculator-minimum.png
keys_to "$main" ctrl+c
wait_for 100 clipboard_is "7.5" ||
  fail "copy gave «$(xclip -o -selection clipboard)», not «7.5»"
echo "a too small stored calculator opened at 295x220"
quit
grep -q '^Width=295' corvalo.ini || fail "the raised calculator width was not stored"
grep -q '^Calculator Default Startup=1' corvalo.ini || fail "the start-up key was lost"
echo "the minimum size stored back, the start-up key kept"
