#!/usr/bin/env bash
# The clipboard holds 100 MB (20 MB for a sanitizer build): first a column of
# numbers, then binary bytes. The program must neither crash nor hang: it shows a
# result or a message, and answers a small paste afterwards.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/fault_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

mb=$(huge_mb "$corvalo")
set +o pipefail  # the writers before each head end by SIGPIPE
# "1.25\n" over and over: mb * 2^20 / 5 numbers, 26,214,400 in all at 100 MB.
yes 1.25 | head -c $((mb * 1024 * 1024)) >"$e2e_tmp/numbers.txt"
sum=$(echo $((mb * 262144)) | sed ':a; s/\B[0-9]\{3\}\>/,&/; ta').00  # 1.25 * 2^20 / 5 = 262,144
# Bytes, NULs dropped (a NUL would end the text at once).
head -c $((mb * 1100 * 1024)) /dev/urandom | tr -d '\000' | head -c $((mb * 1024 * 1024)) \
  >"$e2e_tmp/binary.bin"
set -o pipefail

"$corvalo" >"$e2e_tmp/app.log" 2>&1 &
app=$!
e2e_pids+=($app)
wait_for 100 windows_named "$app" "Corvalo Calculator" || fail "the window did not appear"
main=$(windows_named "$app" "Corvalo Calculator" | head -1)
keys_to "$main" F4  # by columns

# Serves a file on the clipboard until another owner takes it over. Nothing else
# may ask the clipboard meanwhile: xclip serves one request at a time.
server=0
serve() {
  xclip -quiet -selection clipboard -i "$1" >/dev/null 2>&1 &
  server=$!
  e2e_pids+=($server)
  # xclip reads the whole file before it owns the clipboard.
  wait_for 300 xclip_owns || fail "xclip did not take the clipboard"
}
# Ctrl+C after the paste takes the clipboard over (from the window, or from a
# message box): the server ends once the paste is done.
paste_and_take_over() {
  keys_to "$main" ctrl+v ctrl+c
  wait_for 900 eval "! kill -0 $server 2>/dev/null" || {
    alive "$app" "$e2e_tmp/app.log" "$1"
    fail "$1: the paste did not end within 90 s"
  }
  alive "$app" "$e2e_tmp/app.log" "$1"
}
# Still answers: a small paste gives its sum.
answers() {
  printf '1\n2\n' | xclip -selection clipboard
  keys_to "$main" ctrl+v ctrl+c
  wait_for 300 copied_is "3.00" || fail "no answer to a small paste after $1"
}

injected=0
survived=0

injected=$((injected + 1))
serve "$e2e_tmp/numbers.txt"
paste_and_take_over "$mb MB of numbers"
box_open "$app" && fail "$mb MB of numbers: a message instead of the sum"
copied_is "$sum" ||
  fail "$mb MB of numbers gave «$(timeout 3 xclip -o -selection clipboard)», not «$sum»"
answers "$mb MB of numbers"
survived=$((survived + 1))
echo "$mb MB of numbers: $sum"

injected=$((injected + 1))
serve "$e2e_tmp/binary.bin"
paste_and_take_over "$mb MB of binary bytes"
if box_open "$app"; then
  dismiss_box "$app" "$main"
  echo "$mb MB of binary bytes: a message"
else
  echo "$mb MB of binary bytes: result $(timeout 3 xclip -o -selection clipboard | head -c 40)"
fi
answers "$mb MB of binary bytes"
survived=$((survived + 1))

exit_cleanly "$app" "$main" "$e2e_tmp/app.log"
echo "[faults] $mb MB clipboards: injected $injected, survived $survived"
