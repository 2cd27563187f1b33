#!/usr/bin/env bash
# The real program under Xvfb. With WatchClipboard=1: a column copied by another
# program is totalled by itself, the program's own Copy is not taken for another
# program's, and a sentence copied next keeps that total. With WatchSelection=1:
# numbers highlighted in another program (the primary selection) are totalled
# without a copy.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/session.sh"
start_session

printf '[Show]\nWatchClipboard=1\nTabulationStyle=1\n' >corvalo.ini
launch_corvalo "$e2e_tmp/run.log"

# A watched text the program does not calculate shows why as the display's tooltip;
# a calculated one empties it. The mouse rests on the display, 8 px above the 48 px
# tools at the bottom of the collapsed window; a shown tooltip is a second window.
read -r width height < <(xdotool getwindowgeometry "$main" |
  awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')
hover_display() {
  keys_to "$main" shift  # tooltips show only over the active window
  # Entering the window and moving inside it: the entry alone wakes no tooltip.
  xdotool mousemove --window "$main" $((width / 2)) $((height - 48 - 8))
  xdotool mousemove --window "$main" $((width / 2 + 8)) $((height - 48 - 8))
}
leave_display() { xdotool mousemove 0 0; }
tooltip_shown() { (($(xdotool search --onlyvisible --pid "$pid" | wc -l) >= 2)); }
tooltip_gone() { ! tooltip_shown; }
# Long enough for a set tooltip to show: the first check below proves it.
tooltip_wait=5

printf 'Please send the invoice to Anna\n' | xclip -selection clipboard
hover_display
wait_for "$tooltip_wait" tooltip_shown || fail "a sentence copied first set no tooltip"
leave_display
wait_for 5 tooltip_gone || fail "the tooltip stayed after the mouse left"
echo "a sentence copied first set the display's tooltip"

# Another program copies; the window's own Ctrl+C then reads the display back.
total_shown() {
  printf '1,234.50\n2,000\n3\n' | xclip -selection clipboard
  keys_to "$main" ctrl+c
  wait_for 1 clipboard_is "3,237.50"
}
wait_for 20 total_shown || fail "the display shows «$(clipboard)», not «3,237.50»"
echo "a copied column was totalled by itself: 3,237.50"

# That Ctrl+C put one number on the clipboard; taken for another program's copy it
# would have set the tooltip to the too-few-numbers text.
hover_display
wait_for "$tooltip_wait" tooltip_shown && fail "our own Copy was watched: a tooltip showed"
leave_display
echo "our own Copy was not taken for another program's"

printf 'Please send the invoice to Anna\n' | xclip -selection clipboard
wait_for 3 clipboard_is "Please send the invoice to Anna" ||
  fail "xclip did not take the clipboard"
keys_to "$main" ctrl+c
wait_for 3 clipboard_is "3,237.50" || fail "after a sentence the display shows «$(clipboard)»"
echo "a copied sentence kept the total"
exit_through_menu

# Watch Selection alone: numbers highlighted elsewhere, never copied.
printf '[Show]\nWatchSelection=1\nTabulationStyle=1\n' >corvalo.ini
launch_corvalo "$e2e_tmp/selection.log"
printf '5\n7\n' | xclip -selection primary -i
selection_total_shown() {
  keys_to "$main" ctrl+c
  wait_for 1 clipboard_is "12.00"
}
wait_for 10 selection_total_shown ||
  fail "with 5 and 7 highlighted the display shows «$(clipboard)», not «12.00»"
echo "highlighted numbers were totalled by themselves: 12.00"
exit_through_menu
