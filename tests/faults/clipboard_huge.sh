#!/usr/bin/env bash
# The clipboard holds 100 MB (20 MB for a sanitizer build): first a column of
# numbers, then binary bytes. The program must neither crash nor hang: it reads the
# whole transfer, shows a result or a message, and answers a small paste afterwards.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/../e2e/session.sh"
start_session

mb=$(huge_mb "$corvalo")
size=$((mb * 1024 * 1024))
set +o pipefail  # the writers before each head end by SIGPIPE
# "1.25\n" over and over: mb * 2^20 / 5 numbers, 26,214,400 in all at 100 MB.
yes 1.25 | head -c $size >"$e2e_tmp/numbers.txt"
sum=$(echo $((mb * 262144)) | sed ':a; s/\B[0-9]\{3\}\>/,&/; ta').00  # 1.25 * 2^20 / 5 = 262,144
# Bytes, NULs dropped (a NUL would end the text at once).
head -c $((mb * 1100 * 1024)) /dev/urandom | tr -d '\000' | head -c $size >"$e2e_tmp/binary.bin"
set -o pipefail

launch_corvalo "$e2e_tmp/app.log"
keys_to "$main" F4  # by columns

# xclip serves file $1 and the window pastes it: the transfer must start (else nothing
# was injected), and once calculated the window's copy takes the clipboard over.
paste_served() {
  local server base
  xclip -quiet -selection clipboard -i "$1" >/dev/null 2>&1 &
  server=$!
  e2e_pids+=($server)
  # xclip reads the whole file before it owns the clipboard.
  wait_for 10 xclip_owns || fail "xclip did not take the clipboard"
  base=$(written "$server")
  keys_to "$main" ctrl+v
  wait_for 60 eval "(( \$(written $server) > base ))" || {
    alive "$2"
    fail "$2: the paste asked nothing of the clipboard within 60 s"
  }
  keys_to "$main" ctrl+c
  wait_for 240 ended "$server" || { alive "$2"; fail "$2: no result or message within 240 s"; }
  alive "$2"
}
# Still answers: a small paste gives its sum.
answers() {
  printf '1\n2\n' | xclip -selection clipboard
  keys_to "$main" ctrl+v ctrl+c
  wait_for 10 clipboard_is "3.00" || fail "no answer to a small paste after $1"
}

paste_served "$e2e_tmp/numbers.txt" "$mb MB of numbers"
box_open && fail "$mb MB of numbers: a message instead of the sum"
clipboard_is "$sum" || fail "$mb MB of numbers gave «$(clipboard)», not «$sum»"
answers "$mb MB of numbers"
echo "$mb MB of numbers: $sum"

paste_served "$e2e_tmp/binary.bin" "$mb MB of binary bytes"
if box_open; then
  dismiss_box
  echo "$mb MB of binary bytes: a message"
else
  echo "$mb MB of binary bytes: result $(clipboard | head -c 40)"
fi
answers "$mb MB of binary bytes"

exit_through_menu
echo "[faults] $mb MB clipboards: injected 2, survived 2"
