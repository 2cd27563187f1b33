#!/usr/bin/env bash
# The real program under a window manager that frames it (openbox): the stored
# place comes back unchanged run after run, and the size button changes the
# height only, the frame's width staying as stored.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session wm

root=$(xwininfo -root | awk '/Window id:/ {print $4}')
# The window manager's frame around window $1: its ancestor just below the root.
frame_of() {
  local w=$1 parent
  while parent=$(xwininfo -id "$w" -children | awk '/Parent window id:/ {print $4}') &&
    [[ -n "$parent" && $((parent)) -ne $((root)) ]]; do
    w=$parent
  done
  echo "$w"
}
framed() { [[ $(($(frame_of "$main"))) -ne $((main)) ]]; }
# "WIDTHxHEIGHT" of window $1.
size_of() { xdotool getwindowgeometry "$1" | awk '/Geometry:/ {print $2}'; }
# Window $1's size once two readings 0.2 s apart agree (within 10 s).
settled_size() {
  local before="" now deadline=$((SECONDS + 10))
  while ((SECONDS < deadline)); do
    now=$(size_of "$1")
    [[ "$now" == "$before" ]] && { echo "$now"; return 0; }
    before=$now
    sleep 0.2
  done
  fail "window $1 keeps changing its size"
}
ini_value() { awk -F= -v key="$1" '$1 == key {print $2}' corvalo.ini | tr -d '\r'; }

mkdir place size
cd place
for place in "300 300" "0 0"; do
  read -r left top <<<"$place"
  printf '[Form]\r\nLeft=%s\r\nTop=%s\r\n' "$left" "$top" >corvalo.ini
  for run in 1 2 3; do
    launch_corvalo "$e2e_tmp/run.log"
    wait_for 10 framed || fail "openbox did not frame the window"
    settled_size "$(frame_of "$main")" >/dev/null
    exit_through_menu
    [[ "$(ini_value Left)/$(ini_value Top)" == "$left/$top" ]] ||
      fail "run $run from $left/$top stored $(ini_value Left)/$(ini_value Top)"
  done
  echo "stored place $left/$top unchanged after three runs"
done

# Without a settings file both sizes of the grid page are 494 wide, frame included.
cd ../size
launch_corvalo "$e2e_tmp/run.log"
wait_for 10 framed || fail "openbox did not frame the window"
frame=$(frame_of "$main")
collapsed=$(settled_size "$frame")
[[ "$collapsed" == 494x* ]] || fail "the collapsed frame is $collapsed, not 494 wide"
client=$(settled_size "$main")
# A 3 x 3 block needs the grid: the calculation expands the window.
printf '1\t2\t3\n4\t5\t6\n7\t8\t9\n' | xclip -selection clipboard
keys_to "$main" ctrl+v
expanded_now() { [[ "$(size_of "$frame")" != "$collapsed" ]]; }
wait_for 10 expanded_now || fail "the calculation did not expand the window"
expanded=$(settled_size "$frame")
[[ "$expanded" == 494x* ]] || fail "the expanded frame is $expanded, not 494 wide"
# The size button, 39 px left of the tools' right edge, in the middle of the tools' strip.
xdotool mousemove --window "$main" $((${client%x*} - 39 + 16)) $((${client#*x} - 24)) click 1
collapsed_now() { [[ "$(size_of "$frame")" == "$collapsed" ]]; }
wait_for 10 collapsed_now ||
  fail "the size button made the frame $(size_of "$frame"), not $collapsed again"
echo "collapsed $collapsed, expanded $expanded, collapsed again $collapsed"
exit_through_menu
