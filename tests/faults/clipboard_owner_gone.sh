#!/usr/bin/env bash
# The clipboard's owner vanishes while the program reads from it: xclip serves
# 100 MB (20 MB for a sanitizer build) and is killed with SIGKILL once it has sent
# 10, 40 or 70 % of them. The program must survive with a result or a message and
# answer a small paste afterwards.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/fault_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

mb=$(huge_mb "$corvalo")
set +o pipefail  # yes ends by SIGPIPE
yes 1.25 | head -c $((mb * 1024 * 1024)) >"$e2e_tmp/numbers.txt"
set -o pipefail

"$corvalo" >"$e2e_tmp/app.log" 2>&1 &
app=$!
e2e_pids+=($app)
wait_for 100 windows_named "$app" "Corvalo Calculator" || fail "the window did not appear"
main=$(windows_named "$app" "Corvalo Calculator" | head -1)
keys_to "$main" F4  # by columns

# Bytes process $1 has written so far (the transfer, on its X socket), in $bytes.
# Shell builtins only: the poll must be far quicker than the transfer.
written() {
  local key value
  bytes=0
  while read -r key value; do
    [[ $key == wchar: ]] && { bytes=$value; return 0; }
  done <"/proc/$1/io" 2>/dev/null
  return 0
}

injected=0
survived=0
missed=0
for percent in 10 40 70; do
  injected=$((injected + 1))
  xclip -quiet -selection clipboard -i "$e2e_tmp/numbers.txt" >/dev/null 2>&1 &
  server=$!
  e2e_pids+=($server)
  wait_for 300 xclip_owns || fail "xclip did not take the clipboard"
  written "$server"
  base=$bytes
  keys_to "$main" ctrl+v
  # Polled, not slept: the moment the owner vanishes is set by the bytes it sent.
  sent=0
  for _ in $(seq 200000); do
    written "$server"
    sent=$((bytes - base))
    (( sent >= mb * 1024 * 1024 * percent / 100 )) && break
  done
  kill -KILL "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  (( sent >= mb * 1024 * 1024 )) && missed=$((missed + 1))

  what="owner killed after sending $((sent / 1048576)) of $mb MB"
  keys_to "$main" ctrl+c
  wait_for 300 eval "box_open $app || program_owns" || {
    alive "$app" "$e2e_tmp/app.log" "$what"
    fail "$what: neither a result nor a message"
  }
  alive "$app" "$e2e_tmp/app.log" "$what"
  if box_open "$app"; then
    dismiss_box "$app" "$main"
    outcome="a message"
  else
    outcome="result $(timeout 3 xclip -o -selection clipboard)"
  fi
  printf '1\n2\n' | xclip -selection clipboard
  keys_to "$main" ctrl+v ctrl+c
  wait_for 300 copied_is "3.00" || fail "$what: no answer to a small paste afterwards"
  survived=$((survived + 1))
  echo "$what: $outcome; a later paste is fine"
done

exit_cleanly "$app" "$main" "$e2e_tmp/app.log"
echo "[faults] clipboard owner killed during the read: injected $injected," \
  "survived $survived, kills after the whole transfer $missed"
