#!/usr/bin/env bash
# The real program under Xvfb: with ShowTape=1 the calculator shows its tape,
# Calculator > Copy Tape puts the typed sum's lines on the clipboard, and the
# key is stored back at close.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

printf '[Show]\nShowTape=1\n[Form]\nCalculator Default Startup=1\n' >corvalo.ini
launch_corvalo "$e2e_tmp/run.log"

keys_to "$main" 1 2 plus 3 equal
# Calculator menu (Alt+C), then its &Copy Tape.
tape_copied() {
  keys_to "$main" alt+c
  xdotool key c
  local text
  text=$(timeout 3 xclip -o -selection clipboard 2>/dev/null) || return 1
  [[ "$text" == *"12 +"* && "$text" == *"15 *"* ]]
}
wait_for 50 tape_copied ||
  fail "Copy Tape gave «$(timeout 3 xclip -o -selection clipboard 2>/dev/null)»"
echo "typed 12+3=, Copy Tape gave the tape's lines"

keys_to "$main" alt+f
menu_open() { (( $(xdotool search --onlyvisible --pid "$pid" | wc -l) >= 2 )); }
wait_for 50 menu_open || fail "the File menu did not open"
xdotool key Return
wait_for 100 bash -c "! kill -0 $pid" || fail "File > Exit did not end the program"
wait "$pid" || { cat "$e2e_tmp/run.log" >&2; fail "the program ended with an error"; }
grep -q '^ShowTape=1' corvalo.ini || fail "ShowTape was not stored back"
grep -q '^WatchClipboard' corvalo.ini && fail "WatchClipboard was written though never used"
echo "ShowTape stored back, the unused options not written"
