#!/usr/bin/env bash
# The real program under Xvfb: with ShowTape=1 the calculator shows its tape,
# Calculator > Copy Tape puts the typed sum's lines on the clipboard, and the
# key is stored back at close.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session

printf '[Show]\nShowTape=1\n[Form]\nCalculator Default Startup=1\n' >corvalo.ini
launch_corvalo "$e2e_tmp/run.log"

keys_to "$main" 1 2 plus 3 equal
# Calculator menu (Alt+C), then its &Copy Tape.
menu_command c c
tape_copied() {
  local text
  text=$(clipboard) && [[ "$text" == *"12 +"* && "$text" == *"15 *"* ]]
}
wait_for 10 tape_copied || fail "Copy Tape gave «$(clipboard)»"
echo "typed 12+3=, Copy Tape gave the tape's lines"

exit_through_menu
grep -q '^ShowTape=1' corvalo.ini || fail "ShowTape was not stored back"
grep -q '^WatchClipboard' corvalo.ini && fail "WatchClipboard was written though never used"
echo "ShowTape stored back, the unused options not written"
