#!/usr/bin/env bash
# Without any display the program says so and exits non-zero, without aborting.
set -uo pipefail
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1)
rc=$?
[[ $rc -ne 0 && $rc -lt 128 ]] || { echo "FAIL: exit code $rc"; exit 1; }
[[ "$out" == *"no display"* ]] || { echo "FAIL: said «$out»"; exit 1; }
echo "without a display: exit $rc, «${out%%$'\n'*}»"
