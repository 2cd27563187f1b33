#!/usr/bin/env bash
# Timed run, not a test: a ROWS x 3 paste (default a million rows, LF line
# ends) into the real program under Xvfb. Prints the time from Ctrl+V until
# the copied result is back on the clipboard, the time of a page of grid
# scrolling, and the program's resident memory against the clipboard text.
#   bench/paste_speed.sh build/release/src/shell/corvalo [ROWS]
set -euo pipefail
corvalo=$(realpath "$1")
rows=${2:-1000000}
source "$(dirname "$0")/../tests/e2e/session.sh"
start_session

awk -v n="$rows" 'BEGIN { srand(20261206);
  for (i = 0; i < n; i++) printf "%.2f\t%d\t%.4f\n", rand() * 2e7 - 1e7, int(rand() * 1000), rand() * 10 }' \
  >"$e2e_tmp/paste.txt"
bytes=$(stat -c %s "$e2e_tmp/paste.txt")

"$corvalo" >"$e2e_tmp/app.log" 2>&1 &
app=$!
e2e_pids+=($app)
wait_for 10 windows_named "$app" "Corvalo Calculator" || fail "the window did not appear"
main=$(windows_named "$app" "Corvalo Calculator" | head -1)
xclip -selection clipboard <"$e2e_tmp/paste.txt"
keys_to "$main" F4              # by columns: no message box in the way

start=$(date +%s.%N)
keys_to "$main" ctrl+v ctrl+c
# Cheap to poll: the program's own clipboard offers targets that xclip's does not.
copied() { xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -q '^text/plain'; }
wait_for 60 copied || fail "no result within a minute"
end=$(date +%s.%N)
result=$(xclip -o -selection clipboard)

rss_kb=$(awk '/VmRSS/ { print $2 }' "/proc/$app/status")
scroll_start=$(date +%s.%N)
for _ in $(seq 50); do xdotool key --window "$main" Next; done
printf 'x' | xclip -selection clipboard
keys_to "$main" ctrl+c  # answered only after every scroll has been painted
wait_for 10 copied
scroll_end=$(date +%s.%N)

printf 'rows %d, clipboard text %.1f MB\n' "$rows" "$(echo "$bytes / 1048576" | bc -l)"
printf 'Ctrl+V to copied result %s: %.3f s (clipboard transfer included)\n' "$result" \
  "$(echo "$end - $start" | bc -l)"
printf '50 pages of scrolling: %.3f s\n' "$(echo "$scroll_end - $scroll_start" | bc -l)"
printf 'resident memory %.1f MB = %.2f x the clipboard text\n' "$(echo "$rss_kb / 1024" | bc -l)" \
  "$(echo "$rss_kb * 1024 / $bytes" | bc -l)"
