#!/usr/bin/env bash
# Pictures of the program under Xvfb for a person to look at (not a test): the
# window with a large display font after a paste, the font dialog, the help
# window, the About box and the tray icon in trayer.
# Usage: tools/screenshots.sh <corvalo> <output-folder>
set -euo pipefail
corvalo=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
source "$(dirname "$0")/../tests/e2e/session.sh"
start_session
command -v import >/dev/null || fail "ImageMagick's import is needed"

trayer --SetDockType false --transparent false --edge bottom --align left --height 32 \
  --widthtype request >/dev/null 2>&1 &
tray=$!
e2e_pids+=("$tray")
wait_for 10 xdotool search --onlyvisible --pid "$tray" || fail "trayer did not start"

printf '[Fonts]\r\nMainTextName=DejaVu Sans\r\nMainTextSize=26\r\nMainTextColor=8388608\r\n' \
  >corvalo.ini
"$corvalo" >"$e2e_tmp/run.log" 2>&1 &
pid=$!
e2e_pids+=("$pid")
wait_for 10 windows_named "$pid" "Corvalo Calculator" || fail "no window"
main=$(windows_named "$pid" "Corvalo Calculator" | head -1)
shot() { sleep 0.5; import -window "$1" "$out/$2.png"; echo "$out/$2.png"; }
other_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid"); do
    [[ "$w" != "$main" ]] && (( $(xdotool getwindowgeometry "$w" |
      awk '/Geometry/ { split($2, s, "x"); print s[1] }') > 100 )) && { echo "$w"; return 0; }
  done
  return 1
}

printf '1,234.50\t17\n2,000\t(3.25)\n$ 3\t4\n' | xclip -selection clipboard
keys_to "$main" F5 ctrl+v
shot "$main" window-large-display-font

keys_to "$main" alt+o f m
wait_for 5 other_window || fail "no font dialog"
shot "$(other_window)" font-dialog
xdotool key Escape
wait_for 5 bash -c "! $(declare -f other_window); main=$main pid=$pid other_window" || true

keys_to "$main" F1
wait_for 10 windows_named "$pid" "Corvalo Calculator Help.*" || fail "no help window"
help=$(windows_named "$pid" "Corvalo Calculator Help.*" | head -1)
xdotool windowsize "$help" 720 560
shot "$help" help-window
xdotool windowunmap "$help"

keys_to "$main" alt+h a
wait_for 10 windows_named "$pid" "About Corvalo Calculator" || fail "no About box"
shot "$(windows_named "$pid" "About Corvalo Calculator" | head -1)" about-box
xdotool key Return

shot "$(xdotool search --onlyvisible --pid "$tray" | head -1)" tray-icon
