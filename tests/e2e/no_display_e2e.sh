#!/usr/bin/env bash
# Without a display it can open, the program says so plainly and exits with 2,
# without aborting: none set at all, and a DISPLAY with no server behind it.
set -uo pipefail
corvalo=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# Runs the program in a bare environment with the given variables added.
run() { (cd "$home" && env -i PATH="$PATH" HOME="$home" LC_ALL=C.UTF-8 "$@" "$corvalo" 2>&1); }

out=$(run)
rc=$?
[[ $rc -eq 2 ]] || { echo "FAIL: without a display: exit code $rc, said «$out»"; exit 1; }
[[ "$out" == *"no display"* ]] || { echo "FAIL: without a display: said «$out»"; exit 1; }
echo "without a display: exit $rc, «${out%%$'\n'*}»"

# The first display number whose socket is absent: no server answers there.
n=4711
while [[ -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
out=$(run DISPLAY=":$n")
rc=$?
[[ $rc -eq 2 ]] || { echo "FAIL: DISPLAY=:$n: exit code $rc, said «$out»"; exit 1; }
[[ "$out" == "corvalo: cannot open display :$n" ]] ||
  { echo "FAIL: DISPLAY=:$n: said «$out»"; exit 1; }
echo "DISPLAY=:$n with no server: exit $rc, «$out»"
