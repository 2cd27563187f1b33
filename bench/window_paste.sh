#!/usr/bin/env bash
# Timed run of the real window under Xvfb, not a test: xclip owns a text (default
# the 1,000,000 x 3 file of make_data.py), Ctrl+V calculates it, then 21 clicks on
# other columns of the grid. The program itself times each command from its key or
# mouse event to the display set (CORVALO_TIMING=1 on its standard error); this
# prints the medians and spreads, and the growth of peak resident memory over the
# idle window against the size of the text. With --statistics-line first, the
# window runs with Options > Statistics Line on (StatisticsLine=1 in its corvalo.ini).
#   bench/window_paste.sh [--statistics-line] build/paste/src/shell/corvalo [FILE] [PASTES]
set -euo pipefail
statistics_line=0
[[ "${1:-}" == --statistics-line ]] && { statistics_line=1; shift; }
corvalo=$(realpath "$1")
bench_dir=$(realpath "$(dirname "$0")")
file=$(realpath "${2:-$bench_dir/data/rows-1000000.txt}")
pastes=${3:-5}
clicks=21
[[ -f "$file" ]] || { echo "no $file: python3 bench/make_data.py 1000000" >&2; exit 1; }
source "$bench_dir/../tests/e2e/session.sh"
start_session
bytes=$(stat -c %s "$file")
log="$e2e_tmp/app.log"

lines() { grep -c "^$1 " "$log" || true; }
# Waits until the program has printed its line $1 for the $2-th time.
printed() { (($(lines "$1") >= $2)); }
status_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
stats() {  # median, lowest and highest of the numbers on standard input
  sort -n | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "median %.1f ms (%.1f to %.1f, %d runs)", m, v[1], v[NR], NR }'
}
xclip_serves() { timeout 3 xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -q UTF8_STRING; }

growth_kb=()
for run in $(seq "$pastes"); do
  printf '[Show]\nStatisticsLine=%d\n' "$statistics_line" >corvalo.ini
  CORVALO_TIMING=1 "$corvalo" >"$log" 2>&1 &
  pid=$!
  e2e_pids+=("$pid")
  wait_for 30 windows_named "$pid" "Corvalo Calculator" || fail "the window did not appear"
  main=$(windows_named "$pid" "Corvalo Calculator" | head -1)
  keys_to "$main" F4  # by columns: one result per column, no message box in the way
  xclip -quiet -selection clipboard -i "$file" >/dev/null 2>&1 &
  e2e_pids+=($!)
  wait_for 30 xclip_serves || fail "xclip did not take the clipboard"

  idle_kb=$(status_kb "$pid" VmRSS)
  echo 5 >"/proc/$pid/clear_refs"  # the peak so far (start-up) is forgotten
  keys_to "$main" ctrl+v
  wait_for 60 printed paste-ms 1 || fail "no paste-ms line within a minute"
  growth_kb+=($(($(status_kb "$pid" VmHWM) - idle_kb)))

  if ((run == 1)); then
    # The grid's first data row lies at the bottom of the expanded window; columns are
    # 64 px wide plus a 1 px line, after the header column.
    read -r width height < <(xdotool getwindowgeometry "$main" |
      awk '/Geometry/ { split($2, s, "x"); print s[1], s[2] }')
    y=$((height - 30))
    for i in $(seq "$clicks"); do
      col=$((i % 3 + 1))
      xdotool mousemove --window "$main" $((col * 65 + 32)) "$y" click 1
      wait_for 10 printed click-ms "$i" || fail "click $i on column $col gave no click-ms line"
    done
    grep '^click-ms ' "$log" | awk '{ print $2 }' >"$e2e_tmp/clicks"
  fi
  grep '^paste-ms ' "$log" | awk '{ print $2 }' >>"$e2e_tmp/pastes"
  grep '^clipboard-ms ' "$log" | awk '{ print $2 }' >>"$e2e_tmp/transfers"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done

printf 'text %s: %d bytes (%.1f MB); statistics line %s; load average %s\n' \
  "$(basename "$file")" "$bytes" "$(echo "$bytes / 1000000" | bc -l)" \
  "$( ((statistics_line)) && echo on || echo off)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'Ctrl+V to the display set:         %s\n' "$(stats <"$e2e_tmp/pastes")"
printf '  of it, the clipboard read:        %s\n' "$(stats <"$e2e_tmp/transfers")"
paste -d' ' "$e2e_tmp/pastes" "$e2e_tmp/transfers" | awk '{ print $1 - $2 }' >"$e2e_tmp/inside"
printf '  after the text arrived:           %s\n' "$(stats <"$e2e_tmp/inside")"
printf 'click on another column:           %s\n' "$(stats <"$e2e_tmp/clicks")"
for kb in "${growth_kb[@]}"; do
  printf 'peak resident growth %.1f MB = %.2f x the text\n' "$(echo "$kb / 1024" | bc -l)" \
    "$(echo "$kb * 1024 / $bytes" | bc -l)"
done
