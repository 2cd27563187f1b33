#!/usr/bin/env bash
# The real program under Xvfb: F9 opens the desk calculator, typed keys reach
# it, and Ctrl+C copies its entry. With SHOTS=<dir>, screenshots of the
# calculator page at its default size and at the minimum go there.
set -euo pipefail
corvalo=$(realpath "$1")
shots=${SHOTS:+$(realpath -m "$SHOTS")}
source "$(dirname "$0")/session.sh"
start_session

# Size of window $1 as "WxH": the menu bar and the page, no frame (no window manager).
window_size() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: //p'; }
# Whether window $1 holds a calculator page of $2 x $3 below its menu bar.
page_is() {
  local size w h
  size=$(window_size "$1"); w=${size%x*}; h=${size#*x}
  (( w == $2 && h > $3 && h <= $3 + 60 ))
}
# Types keys $1 and checks that Ctrl+C copies $2; with SHOTS set, photographs the
# handled keys into $3.
typed_gives() {
  keys_to "$main" $1 ctrl+c
  wait_for 10 clipboard_is "$2" || fail "copy gave «$(clipboard)», not «$2»"
  [[ -z "$shots" ]] || { mkdir -p "$shots" && import -window "$main" "$shots/$3"; }
}

launch_corvalo "$e2e_tmp/run.log"
grid_size=$(window_size "$main")
keys_to "$main" F9
# The calculator page has its stored size, 440 x 400 by default.
wait_for 10 page_is "$main" 440 400 ||
  fail "the calculator page is $(window_size "$main"), not 440x400 (grid page was $grid_size)"
typed_gives "1 2 plus 3 equal" 15 calculator-default.png
echo "F9 opened the calculator page at 440x400; typed 12+3=, copied 15"
exit_through_menu
grep -q '^Width=440' corvalo.ini || fail "the calculator width was not stored"

# A stored size below the minimum, starting on the calculator page.
printf '[Form]\r\nCalculator Default Startup=1\r\n[Calculator]\r\nWidth=100\r\nHeight=100\r\n' \
  > corvalo.ini
launch_corvalo "$e2e_tmp/run.log"
wait_for 10 page_is "$main" 295 220 ||
  fail "the too small calculator is $(window_size "$main"), not 295x220"
typed_gives "7 period 5" 7.5 calculator-minimum.png
echo "a too small stored calculator opened at 295x220"
exit_through_menu
grep -q '^Width=295' corvalo.ini || fail "the raised calculator width was not stored"
grep -q '^Calculator Default Startup=1' corvalo.ini || fail "the start-up key was lost"
echo "the minimum size stored back, the start-up key kept"
