# Sourced by the end-to-end and fault scripts: a private Xvfb display (and a window
# manager when asked), a temporary home, runtime and working folder, the program
# started and ended through its File menu, the clipboard read with a time-out, and
# everything stopped and removed on exit. Needs: Xvfb, xdotool, xclip, xdpyinfo.

e2e_tmp=$(mktemp -d)
export HOME="$e2e_tmp/home" XDG_RUNTIME_DIR="$e2e_tmp/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$e2e_tmp/cwd"
chmod 700 "$XDG_RUNTIME_DIR"
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# Sanitizer builds: leaks of system libraries are not ours to report.
e2e_dir=$(realpath "$(dirname "${BASH_SOURCE[0]}")")
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$e2e_dir/lsan.supp"
e2e_pids=()
pid="" main="" icon="" run_log=/dev/null

e2e_cleanup() {
  local p
  for p in "${e2e_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${e2e_pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs a command until it succeeds, for at most $1 seconds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
ended() { ! kill -0 "$1" 2>/dev/null; }

# Xvfb on a display it picks itself (two runs at once never share one), then
# openbox when $1 is "wm"; the script continues in the temporary working folder.
start_session() {
  local fifo="$e2e_tmp/displayfd" n=""
  mkfifo "$fifo"
  # No reset when the last client leaves: a program connecting just then would fail.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" \
    >"$e2e_tmp/xvfb.log" 2>&1 &
  e2e_pids+=($!)
  read -r -t 30 n <"$fifo" || true
  [[ "$n" =~ ^[0-9]+$ ]] ||
    { cat "$e2e_tmp/xvfb.log" >&2; fail "no Xvfb display could be started"; }
  export DISPLAY=":$n"
  wait_for 10 xdpyinfo || fail "Xvfb on $DISPLAY does not answer"
  if [[ "${1:-}" == wm ]]; then
    command -v openbox >/dev/null || fail "openbox is missing (scripts/install-deps)"
    openbox --sm-disable >"$e2e_tmp/openbox.log" 2>&1 &
    e2e_pids+=($!)
    wait_for 10 eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
      { cat "$e2e_tmp/openbox.log" >&2; fail "openbox did not start"; }
  fi
  cd "$e2e_tmp/cwd"
}

# Window ids of process $1 whose name is exactly $2 (shown ones only).
windows_named() { xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null; }
# The first window of process $1 named $2 once it is shown, within $3 seconds (30).
await_window() {
  local found
  found=$(timeout "${3:-30}" xdotool search --sync --all --onlyvisible --pid "$1" \
    --name "^$2\$" 2>/dev/null) || return 1
  echo "${found%%$'\n'*}"
}

# Starts COMMAND (the program "$corvalo" when none) with its output in file $1 and
# waits for its window: sets $pid, $main and $run_log.
launch_corvalo() {
  run_log=$1
  shift
  (($#)) || set -- "$corvalo"
  "$@" >"$run_log" 2>&1 &
  pid=$!
  e2e_pids+=("$pid")
  main=$(await_window "$pid" "Corvalo Calculator") || {
    cat "$run_log" >&2
    ended "$pid" && fail "the program ended before its window appeared"
    fail "the window did not appear; the program shows: $(xdotool search --pid "$pid" \
      getwindowname %@ 2>/dev/null | tr '\n' '|')"
  }
}

# Gives the window the keyboard (no window manager runs here) and types keys.
keys_to() {
  local win=$1
  shift
  xdotool windowfocus --sync "$win" 2>/dev/null ||
    xdotool windowactivate --sync "$win" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

# Keys $2 to window $1, again every 2 seconds for at most $3 seconds, until the
# command after them succeeds: on a loaded machine a window can be shown before it
# takes keys, and a press that comes too early is lost.
press_until() {
  local win=$1 keys=$2 deadline=$((SECONDS + $3))
  shift 3
  until { keys_to "$win" $keys; wait_for 2 "$@"; }; do
    ((SECONDS < deadline)) || return 1
  done
}

# A menu of $pid is open: a shown window that is neither $main nor the tray icon $icon.
menu_open() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    [[ "$w" != "$main" && "$w" != "$icon" ]] && return 0
  done
  return 1
}
# Alt+$1 on $main, then the key $2 once the menu is open to take it.
menu_command() {
  keys_to "$main" "alt+$1"
  wait_for 5 menu_open || fail "the menu of Alt+$1 did not open"
  xdotool key "$2"
}
# File > Exit; the program must end cleanly (sanitizer builds report here).
exit_through_menu() {
  menu_command f Return
  wait_for 10 ended "$pid" || fail "File > Exit did not end the program"
  wait "$pid" || { cat "$run_log" >&2; fail "the program ended with an error"; }
}

# $pid shows a second window titled "Corvalo Calculator": a message or error box.
box_open() { (($(windows_named "$pid" "Corvalo Calculator" | wc -l) >= 2)); }
the_box() { windows_named "$pid" "Corvalo Calculator" | grep -vx "$main" | head -1; }
dismiss_box() {
  keys_to "$(the_box)" Return
  wait_for 10 eval '! box_open' || fail "the box did not close"
}
# Fails unless $pid still runs, showing its log.
alive() { kill -0 "$pid" 2>/dev/null || { cat "$run_log" >&2; fail "the program died: $1"; }; }

# The clipboard, bounded: a busy or vanished owner would hold a request for ever.
clipboard() { timeout 3 xclip -o -selection clipboard 2>/dev/null; }
clipboard_is() { [[ "$(clipboard)" == "$1" ]]; }
clipboard_targets() { timeout 3 xclip -o -selection clipboard -t TARGETS 2>/dev/null; }
# xclip (not the program, which offers text/plain) owns the clipboard.
xclip_owns() {
  local t
  t=$(clipboard_targets) && [[ -n "$t" && "$t" != *text/plain* ]]
}
program_owns() { [[ "$(clipboard_targets)" == *text/plain* ]]; }

# Bytes process $1 has written so far (its transfers on the X socket); builtins only,
# so a poll keeps up with a transfer.
written() {
  local key value
  while read -r key value; do
    [[ $key == wchar: ]] && { echo "$value"; return 0; }
  done 2>/dev/null <"/proc/$1/io"
  echo 0
}
# Megabytes of a huge clipboard for program $1: 100, or 20 when it carries
# AddressSanitizer, which checks the same paths several times slower per byte.
huge_mb() { if ldd "$1" 2>/dev/null | grep -q libasan; then echo 20; else echo 100; fi; }
