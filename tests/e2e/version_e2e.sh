#!/usr/bin/env bash
# The real program under Xvfb: Help > Check for latest version through a proxy
# stub named in corvalo.ini. The stub holds its answer back until the window has
# switched pages, so the window must answer while the check waits. With
# SHOTS=<dir>, a screenshot of the message box goes there.
set -euo pipefail
corvalo=$(realpath "$1")
stub="$(realpath "$(dirname "$0")")/proxy_stub.py"
shots=${SHOTS:+$(realpath -m "$SHOTS")}
source "$(dirname "$0")/xvfb_session.sh"
start_xvfb
cd "$e2e_tmp/cwd"

# Starts the stub answering $1 (held back until $e2e_tmp/release exists when $2 is
# "hold") and sets $proxy_port.
start_stub() {
  rm -f "$e2e_tmp/port" "$e2e_tmp/release"
  python3 "$stub" --body "$1" --port-file "$e2e_tmp/port" --log "$e2e_tmp/requests.log" \
    ${2:+--hold "$e2e_tmp/release"} &
  e2e_pids+=($!)
  wait_for 100 test -s "$e2e_tmp/port" || fail "the proxy stub did not start"
  proxy_port=$(cat "$e2e_tmp/port")
}

# Starts the program with the stub as its proxy and sets $pid and $main.
launch() {
  printf '[Internet]\r\nProxy=127.0.0.1\r\nProxyPort=%s\r\n' "$proxy_port" > corvalo.ini
  launch_corvalo "$e2e_tmp/run.log"
}

window_width() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: \([0-9]*\)x.*/\1/p'; }
width_is() { (( $(window_width "$1") == $2 )); }
box_shown() { (( $(windows_named "$pid" "Corvalo Calculator" | wc -l) >= 2 )); }
box_gone() { ! box_shown; }
the_box() { windows_named "$pid" "Corvalo Calculator" | grep -v "^$main\$" | head -1; }
copied() { xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
copied_has() { copied | grep -qF -- "$1"; }

# File > Exit; the program must end cleanly (sanitizer builds report here).
quit() {
  keys_to "$main" alt+f
  menu_open() { (( $(xdotool search --onlyvisible --pid "$pid" | wc -l) >= 2 )); }
  wait_for 50 menu_open || fail "the File menu did not open"
  xdotool key Return
  wait_for 100 bash -c "! kill -0 $pid" || fail "File > Exit did not end the program"
  wait "$pid" || { cat "$e2e_tmp/run.log" >&2; fail "the program ended with an error"; }
}

check_for_latest_version() {
  keys_to "$main" alt+h
  menu_open() { (( $(xdotool search --onlyvisible --pid "$pid" | wc -l) >= 2 )); }
  wait_for 50 menu_open || fail "the Help menu did not open"
  xdotool key c
}

# Copies the box's text (a message box copies itself on Ctrl+C), checks it holds
# $1 and $2, then closes it; with SHOTS set, takes its picture as $3 first.
box_text_contains() {
  local box
  box=$(the_box)
  if [[ -n "$shots" ]]; then
    sleep 0.3  # let it paint
    mkdir -p "$shots"
    import -window "$box" "$shots/$3"
  fi
  keys_to "$box" ctrl+c
  wait_for 100 copied_has "$1" || fail "the box says «$(copied)», not «$1»"
  copied_has "$2" || fail "the box lacks «$2»"
  keys_to "$box" Return
  wait_for 100 box_gone || fail "the box did not close"
}

# The same version, answered only after the window has shown it is awake.
start_stub "1.01" hold
launch
grid_width=$(window_width "$main")
check_for_latest_version
wait_for 100 grep -q versions/corvalo.htm "$e2e_tmp/requests.log" ||
  fail "no request reached the proxy"
grep -q '^GET http://[^ ]*/versions/corvalo.htm HTTP/1.0' "$e2e_tmp/requests.log" ||
  fail "the proxy got «$(cat "$e2e_tmp/requests.log")»"
keys_to "$main" F9
wait_for 100 width_is "$main" 440 ||
  fail "no page switch while the check waited (width $(window_width "$main"), was $grid_width)"
box_shown && fail "the message came before the answer"
echo "the window switched to the calculator while the check waited"
touch "$e2e_tmp/release"
wait_for 100 box_shown || fail "no message after the answer"
box_text_contains " There is no new version available." \
  " You currently have the latest version. " version-same.png
echo "same version reported"
quit
grep -q "^ProxyPort=$proxy_port" corvalo.ini || fail "the proxy setting was not kept"

# A newer version on the server names the program and its download address.
start_stub "1.02 new"
launch
check_for_latest_version
wait_for 100 box_shown || fail "no message for the newer version"
box_text_contains " A newer version of corvalo exists! (1.02)" "/corvalo/install.exe" \
  version-newer.png
echo "newer version reported"
quit
