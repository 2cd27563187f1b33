#!/usr/bin/env bash
# The real program under Xvfb: paste a spreadsheet column, copy the result,
# a refused second start, and closing through the File menu writes corvalo.ini.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

"$corvalo" >"$e2e_tmp/first.log" 2>&1 &
first=$!
e2e_pids+=($first)
if ! wait_for 100 windows_named "$first" "Corvalo Calculator"; then
  cat "$e2e_tmp/first.log" >&2
  fail "the window did not appear"
fi
main=$(windows_named "$first" "Corvalo Calculator" | head -1)

# A spreadsheet column as Linux programs copy it: LF line ends.
printf '1,234.50\n2,000\n3\n' | xclip -selection clipboard
keys_to "$main" F4 ctrl+v ctrl+c
wait_for 100 clipboard_is "3,237.50" ||
  fail "copy gave «$(xclip -o -selection clipboard)», not «3,237.50»"
echo "pasted column, copied 3,237.50"

# A second start shows the already-loaded box under its own name and ends.
"$corvalo" >"$e2e_tmp/second.log" 2>&1 &
second=$!
e2e_pids+=($second)
wait_for 100 windows_named "$second" "corvalo" || fail "the second start showed no message"
box=$(windows_named "$second" "corvalo" | head -1)
keys_to "$box" Return
wait_for 100 bash -c "! kill -0 $second" || fail "the second start did not end"
wait "$second" || { cat "$e2e_tmp/second.log" >&2; fail "the second start failed"; }
kill -0 "$first" || fail "the first instance went away"
[[ "$(windows_named "$first" "Corvalo Calculator")" == *"$main"* ]] || fail "the first window is gone"
echo "second start refused, first untouched"

# File > Exit closes the window and writes the settings.
keys_to "$main" alt+f
menu_open() { (( $(xdotool search --onlyvisible --pid "$first" | wc -l) >= 2 )); }
wait_for 50 menu_open || fail "the File menu did not open"
xdotool key Return
wait_for 100 bash -c "! kill -0 $first" || fail "File > Exit did not end the program"
wait "$first" || { cat "$e2e_tmp/first.log" >&2; fail "the program ended with an error"; }
[[ -s corvalo.ini ]] || fail "corvalo.ini was not written"
grep -q '^\[Form\]' corvalo.ini || fail "corvalo.ini lacks the window's keys"
echo "closed through File > Exit, corvalo.ini written"
