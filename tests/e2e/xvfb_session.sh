# Shared by the end-to-end scripts: a private Xvfb display and a temporary
# home, runtime directory and working directory, all removed on exit.
# Needs: Xvfb, xdotool, xclip, xdpyinfo.

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

e2e_cleanup() {
  local pid
  for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${e2e_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Polls a command until it succeeds, at most $1 tenths of a second.
wait_for() {
  local tries=$1; shift
  while (( tries-- > 0 )); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

start_xvfb() {
  # Xvfb picks a free display itself and writes its number once it accepts
  # clients, so two runs at once never share (and lose) one display. No reset
  # when the last client leaves: a program connecting just then would fail.
  local fifo="$e2e_tmp/displayfd" n=""
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" \
    >"$e2e_tmp/xvfb.log" 2>&1 &
  e2e_pids+=($!)
  read -r -t 30 n <"$fifo" || true
  [[ "$n" =~ ^[0-9]+$ ]] ||
    { cat "$e2e_tmp/xvfb.log" >&2; fail "no Xvfb display could be started"; }
  export DISPLAY=":$n"
  wait_for 100 xdpyinfo || fail "Xvfb on $DISPLAY does not answer"
}

# Window ids of process $1 whose name is exactly $2 (shown ones only).
windows_named() { xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null; }

# Gives the window the keyboard (no window manager runs here) and types keys.
keys_to() {
  local win=$1; shift
  xdotool windowfocus --sync "$win" 2>/dev/null ||
    xdotool windowactivate --sync "$win" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

clipboard_is() { [[ "$(timeout 3 xclip -o -selection clipboard 2>/dev/null)" == "$1" ]]; }

# Starts the program "$corvalo" with its output in file $1 and waits for its
# window: sets $pid and $main.
launch_corvalo() {
  local log=$1
  "$corvalo" >"$log" 2>&1 &
  pid=$!
  e2e_pids+=("$pid")
  if ! wait_for 300 windows_named "$pid" "Corvalo Calculator"; then
    cat "$log" >&2
    kill -0 "$pid" 2>/dev/null || fail "the program ended before its window appeared"
    fail "the window did not appear; the program shows: $(xdotool search --pid "$pid" \
      getwindowname %@ 2>/dev/null | tr '\n' '|')"
  fi
  main=$(windows_named "$pid" "Corvalo Calculator" | head -1)
}

# The tray: whether window $main is shown, whether a menu of process $pid is open
# (a shown window that is neither $main nor the icon $icon), and a right click on
# the icon that opens its menu.
shown() { xwininfo -id "$main" 2>/dev/null | grep -q IsViewable; }
hidden() { ! shown; }
menu_open() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    [[ "$w" != "$main" && "$w" != "$icon" ]] && return 0
  done
  return 1
}
# A right press just after a menu closed may end up in that menu: press again.
open_menu() {
  local try
  for try in 1 2 3; do
    xdotool mousemove --window "$icon" 6 6 click 3
    wait_for 30 menu_open && return 0
  done
  return 1
}
