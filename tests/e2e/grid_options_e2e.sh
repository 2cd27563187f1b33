#!/usr/bin/env bash
# The real program under Xvfb with StatementSigns=1 and StatisticsLine=1: a bank
# statement's «1,234.50-» reads as negative, a click on the Amount header
# totals that column, and Edit > Copy Plain (Ctrl+Shift+C) gives it ungrouped.
# With CORVALO_E2E_SHOT=FILE.png (and ImageMagick's import) the expanded window
# is photographed into FILE.png.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session

printf '[Show]\nStatisticsLine=1\nStatementSigns=1\n' >corvalo.ini
launch_corvalo "$e2e_tmp/run.log"

# Ctrl+Shift+C, then up to $2 seconds for the clipboard to read $1.
copied_plain() {
  keys_to "$main" ctrl+shift+c
  wait_for "${2:-1}" clipboard_is "$1"
}

printf 'Name\tAmount\nA\t1,234.50-\nB\t100\n' | xclip -selection clipboard
keys_to "$main" ctrl+v
# Calculated by rows (the default): row 1 holds the name and the debit.
wait_for 10 copied_plain "-1234.50" ||
  fail "row 1 was copied as «$(clipboard)», not «-1234.50»"
echo "1,234.50- read as -1234.50 and copied without grouping"

# Two columns fit the collapsed window: the size button (39 px left of the tools'
# right edge, in the middle of their 48 px) shows the grid below the tools.
client_size() { xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p'; }
collapsed=$(client_size)
width=${collapsed%x*}
grid_top=${collapsed#*x}
xdotool mousemove --window "$main" $((width - 39 + 16)) $((grid_top - 24)) click 1
expanded_now() { [[ "$(client_size)" != "$collapsed" ]]; }
wait_for 5 expanded_now || fail "the size button did not show the grid"

# The column widths follow the grid's font: step along the header row until the
# click lands on column 2, whose total is -1,234.50 + 100.
amount_chosen=false
for ((x = 4; x < width; x += 16)); do
  xdotool mousemove --window "$main" "$x" $((grid_top + 5)) click 1
  if copied_plain "-1134.50"; then amount_chosen=true; break; fi
done
$amount_chosen || fail "no header click gave «-1134.50»; the last copy gave «$(clipboard)»"
echo "the Amount column totals -1134.50"
if [[ -n "${CORVALO_E2E_SHOT:-}" ]] && command -v import >/dev/null; then
  import -window root "$CORVALO_E2E_SHOT"
fi

exit_through_menu
grep -q '^StatisticsLine=1' corvalo.ini || fail "StatisticsLine was not stored back"
grep -q '^StatementSigns=1' corvalo.ini || fail "StatementSigns was not stored back"
grep -q '^ShowTape' corvalo.ini && fail "ShowTape was written though never used"
echo "both options stored back, the unused ones not written"
