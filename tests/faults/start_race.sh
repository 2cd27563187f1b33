#!/usr/bin/env bash
# Two starts of the real program at the same moment, a few times: exactly one
# shows the window, the other the already-loaded box, and ends once it is closed.
# (The lock itself races 200 times in test_faults; this is the program around it.)
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/fault_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

rounds=${RACE_ROUNDS:-10}
shows_a_window() { [[ -n "$(xdotool search --onlyvisible --pid "$1" 2>/dev/null)" ]]; }

survived=0
for round in $(seq "$rounds"); do
  "$corvalo" >"$e2e_tmp/a$round.log" 2>&1 &
  a=$!
  "$corvalo" >"$e2e_tmp/b$round.log" 2>&1 &
  b=$!
  e2e_pids+=($a $b)
  wait_for 150 eval "shows_a_window $a && shows_a_window $b" ||
    fail "round $round: not both starts showed a window"

  winners=()
  losers=()
  for pid in "$a" "$b"; do
    [[ -n "$(windows_named "$pid" "Corvalo Calculator")" ]] && winners+=("$pid")
    [[ -n "$(windows_named "$pid" "corvalo")" ]] && losers+=("$pid")
  done
  (( ${#winners[@]} == 1 && ${#losers[@]} == 1 )) ||
    fail "round $round: ${#winners[@]} windows and ${#losers[@]} already-loaded boxes"
  winner=${winners[0]}
  loser=${losers[0]}

  keys_to "$(windows_named "$loser" "corvalo" | head -1)" Return
  wait_for 100 eval "! kill -0 $loser 2>/dev/null" ||
    fail "round $round: the refused start did not end"
  wait "$loser" || fail "round $round: the refused start failed"
  kill -0 "$winner" || fail "round $round: the running copy went away"

  log="$e2e_tmp/a$round.log"
  [[ $winner == "$b" ]] && log="$e2e_tmp/b$round.log"
  exit_cleanly "$winner" "$(windows_named "$winner" "Corvalo Calculator" | head -1)" "$log"
  survived=$((survived + 1))
  echo "round $round: one window, one already-loaded box"
done
echo "[faults] real starts racing in pairs: injected $rounds, survived $survived"
