#!/usr/bin/env bash
# The clipboard's owner vanishes while the program reads from it: xclip serves
# 100 MB (20 MB for a sanitizer build) and is killed with SIGKILL once it has sent
# 10, 40 or 70 % of them. The program must survive with a result or a message and
# answer a small paste afterwards. A kill that misses the transfer is tried again,
# and fails the test the third time.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/../e2e/session.sh"
start_session

mb=$(huge_mb "$corvalo")
size=$((mb * 1024 * 1024))
set +o pipefail  # yes ends by SIGPIPE
yes 1.25 | head -c $size >"$e2e_tmp/numbers.txt"
set -o pipefail

launch_corvalo "$e2e_tmp/app.log"
keys_to "$main" F4  # by columns

# Serves the numbers, pastes them and kills xclip once it has sent $1 bytes; sets $sent.
cut_transfer() {
  local server base deadline
  xclip -quiet -selection clipboard -i "$e2e_tmp/numbers.txt" >/dev/null 2>&1 &
  server=$!
  e2e_pids+=($server)
  wait_for 10 xclip_owns || fail "xclip did not take the clipboard"
  base=$(written "$server")
  keys_to "$main" ctrl+v
  # Polled, not slept: the moment the owner vanishes is set by the bytes it sent.
  sent=0
  deadline=$((SECONDS + 30))
  while ((sent < $1 && SECONDS < deadline)); do sent=$(($(written "$server") - base)); done
  kill -KILL "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
}

injected=0
for percent in 10 40 70; do
  for try in 1 2 3; do
    cut_transfer $((size * percent / 100))
    ((sent > 0 && sent < size)) && break
    ((try < 3)) || fail "$percent %: three kills missed the transfer (last after $sent bytes)"
  done
  injected=$((injected + 1))
  what="owner killed after sending $((sent / 1048576)) of $mb MB"
  keys_to "$main" ctrl+c
  wait_for 150 eval "box_open || program_owns" || {
    alive "$what"
    fail "$what: neither a result nor a message"
  }
  alive "$what"
  if box_open; then
    dismiss_box
    outcome="a message"
  else
    outcome="result $(clipboard)"
  fi
  printf '1\n2\n' | xclip -selection clipboard
  keys_to "$main" ctrl+v ctrl+c
  wait_for 10 clipboard_is "3.00" || fail "$what: no answer to a small paste afterwards"
  echo "$what: $outcome; a later paste is fine"
done

exit_through_menu
echo "[faults] clipboard owner killed during the read: injected $injected, survived $injected"
