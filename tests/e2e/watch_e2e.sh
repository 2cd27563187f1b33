#!/usr/bin/env bash
# The real program under Xvfb with WatchClipboard=1: a column copied by another
# program is totalled by itself, and a sentence copied next keeps that total.
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

printf '[Show]\nWatchClipboard=1\nTabulationStyle=1\n' >corvalo.ini
launch_corvalo "$e2e_tmp/run.log"

# Another program copies; the window's own Ctrl+C then reads the display back
# (our own copy is not taken for another program's).
total_shown() {
  printf '1,234.50\n2,000\n3\n' | xclip -selection clipboard
  keys_to "$main" ctrl+c
  wait_for 10 clipboard_is "3,237.50"
}
shown_now() { timeout 3 xclip -o -selection clipboard 2>/dev/null || true; }
wait_for 20 total_shown || fail "the display shows «$(shown_now)», not «3,237.50»"
echo "a copied column was totalled by itself: 3,237.50"

printf 'Please send the invoice to Anna\n' | xclip -selection clipboard
wait_for 30 clipboard_is "Please send the invoice to Anna" ||
  fail "xclip did not take the clipboard"
keys_to "$main" ctrl+c
wait_for 30 clipboard_is "3,237.50" || fail "after a sentence the display shows «$(shown_now)»"
echo "a copied sentence kept the total"
kill -0 "$pid" || fail "the program ended"
