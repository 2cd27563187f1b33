#!/usr/bin/env bash
# Two starts of the real program released at the same moment, a few times: exactly
# one shows the window, the other the already-loaded box, and ends once it is closed.
# (The lock itself races 200 times in test_faults; this is the program around it.)
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/../e2e/session.sh"
start_session

rounds=${RACE_ROUNDS:-10}
shows_a_window() { [[ -n "$(xdotool search --onlyvisible --pid "$1" 2>/dev/null)" ]]; }
stopped() { local _p _c state; read -r _p _c state _ <"/proc/$1/stat" && [[ $state == T ]]; }
# Return on the already-loaded box $1 until its start $2 has ended: on a loaded machine
# the box can be shown before it takes keys.
refuse() {
  keys_to "$1" Return
  wait_for 2 ended "$2"
}
# A start that halts itself before the program replaces it, so two are let go together.
halted_start() {
  bash -c 'kill -STOP $$; exec "$0"' "$corvalo" >"$e2e_tmp/$1.log" 2>&1 &
  e2e_pids+=($!)
}

for round in $(seq "$rounds"); do
  halted_start "a$round"
  a=$!
  halted_start "b$round"
  b=$!
  wait_for 10 eval "stopped $a && stopped $b" || fail "round $round: the starts did not halt"
  kill -CONT "$a" "$b"
  wait_for 20 eval "shows_a_window $a && shows_a_window $b" ||
    fail "round $round: not both starts showed a window"

  winners=() losers=()
  for p in "$a" "$b"; do
    [[ -n "$(windows_named "$p" "Corvalo Calculator")" ]] && winners+=("$p")
    [[ -n "$(windows_named "$p" "corvalo")" ]] && losers+=("$p")
  done
  ((${#winners[@]} == 1 && ${#losers[@]} == 1)) ||
    fail "round $round: ${#winners[@]} windows and ${#losers[@]} already-loaded boxes"
  pid=${winners[0]}
  main=$(windows_named "$pid" "Corvalo Calculator" | head -1)
  run_log="$e2e_tmp/a$round.log"
  [[ $pid != "$b" ]] || run_log="$e2e_tmp/b$round.log"

  box=$(windows_named "${losers[0]}" "corvalo" | head -1)
  wait_for 20 refuse "$box" "${losers[0]}" || fail "round $round: the refused start did not end"
  wait "${losers[0]}" || fail "round $round: the refused start failed"
  alive "round $round"
  exit_through_menu
  echo "round $round: one window, one already-loaded box"
done
echo "[faults] real starts racing in pairs: injected $rounds, survived $rounds"
