#!/usr/bin/env bash
# The real program under Xvfb: paste a spreadsheet column, copy the result,
# a refused second start, and closing through the File menu writes corvalo.ini.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session
launch_corvalo "$e2e_tmp/first.log"

# A spreadsheet column as Linux programs copy it: LF line ends.
printf '1,234.50\n2,000\n3\n' | xclip -selection clipboard
keys_to "$main" F4 ctrl+v ctrl+c
wait_for 10 clipboard_is "3,237.50" || fail "copy gave «$(clipboard)», not «3,237.50»"
echo "pasted column, copied 3,237.50"

# A second start shows the already-loaded box under its own name and ends.
"$corvalo" >"$e2e_tmp/second.log" 2>&1 &
second=$!
e2e_pids+=($second)
box=$(await_window "$second" "corvalo") || fail "the second start showed no message"
keys_to "$box" Return
wait_for 10 ended "$second" || fail "the second start did not end"
wait "$second" || { cat "$e2e_tmp/second.log" >&2; fail "the second start failed"; }
alive "the second start"
windows_named "$pid" "Corvalo Calculator" | grep -qx "$main" || fail "the first window is gone"
echo "second start refused, first untouched"

# File > Exit closes the window and writes the settings.
exit_through_menu
[[ -s corvalo.ini ]] || fail "corvalo.ini was not written"
grep -q '^\[Form\]' corvalo.ini || fail "corvalo.ini lacks the window's keys"
echo "closed through File > Exit, corvalo.ini written"
