#!/usr/bin/env bash
# The real program under Xvfb: Help > Check for latest version through a proxy
# stub named in corvalo.ini. The stub holds its answer back until the window has
# switched pages, so the window must answer while the check waits. With
# SHOTS=<dir>, a screenshot of the message box goes there.
set -euo pipefail
corvalo=$(realpath "$1")
stub="$(realpath "$(dirname "$0")")/proxy_stub.py"
shots=${SHOTS:+$(realpath -m "$SHOTS")}
source "$(dirname "$0")/session.sh"
start_session

# Starts the stub answering $1 (held back until release_answer when $2 is "hold") and
# sets $proxy_port.
start_stub() {
  rm -f "$e2e_tmp/port" "$e2e_tmp/release"
  [[ -z "${2:-}" ]] || mkfifo "$e2e_tmp/release"
  python3 "$stub" --body "$1" --port-file "$e2e_tmp/port" --log "$e2e_tmp/requests.log" \
    ${2:+--hold "$e2e_tmp/release"} &
  e2e_pids+=($!)
  wait_for 10 test -s "$e2e_tmp/port" || fail "the proxy stub did not start"
  proxy_port=$(cat "$e2e_tmp/port")
}

# Starts the program with the stub as its proxy and sets $pid and $main.
launch() {
  printf '[Internet]\r\nProxy=127.0.0.1\r\nProxyPort=%s\r\n' "$proxy_port" > corvalo.ini
  launch_corvalo "$e2e_tmp/run.log"
}

window_width() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: \([0-9]*\)x.*/\1/p'; }
width_is() { (( $(window_width "$1") == $2 )); }
copied() { clipboard | tr -d '\r'; }
copied_has() { copied | grep -qF -- "$1"; }
# The stub answers once the other end of its fifo is opened and closed.
release_answer() { timeout 10 bash -c ': >"$1"' _ "$e2e_tmp/release"; }

# Copies the box's text (a message box copies itself on Ctrl+C), checks it holds
# $1 and $2, then closes it; with SHOTS set, takes its picture as $3 once it answered.
box_text_contains() {
  local box
  box=$(the_box)
  keys_to "$box" ctrl+c
  wait_for 10 copied_has "$1" || fail "the box says «$(copied)», not «$1»"
  copied_has "$2" || fail "the box lacks «$2»"
  [[ -z "$shots" ]] || { mkdir -p "$shots" && import -window "$box" "$shots/$3"; }
  keys_to "$box" Return
  wait_for 10 eval '! box_open' || fail "the box did not close"
}

# The same version, answered only after the window has shown it is awake.
start_stub "1.01" hold
launch
grid_width=$(window_width "$main")
menu_command h c  # Help > Check for latest version
wait_for 10 grep -q versions/corvalo.htm "$e2e_tmp/requests.log" ||
  fail "no request reached the proxy"
grep -q '^GET http://[^ ]*/versions/corvalo.htm HTTP/1.0' "$e2e_tmp/requests.log" ||
  fail "the proxy got «$(cat "$e2e_tmp/requests.log")»"
keys_to "$main" F9
wait_for 10 width_is "$main" 440 ||
  fail "no page switch while the check waited (width $(window_width "$main"), was $grid_width)"
box_open && fail "the message came before the answer"
echo "the window switched to the calculator while the check waited"
release_answer || fail "the stub did not take the answer's release"
wait_for 10 box_open || fail "no message after the answer"
box_text_contains " There is no new version available." \
  " You currently have the latest version. " version-same.png
echo "same version reported"
exit_through_menu
grep -q "^ProxyPort=$proxy_port" corvalo.ini || fail "the proxy setting was not kept"

# A newer version on the server names the program and its download address.
start_stub "1.02 new"
launch
menu_command h c
wait_for 10 box_open || fail "no message for the newer version"
box_text_contains " A newer version of corvalo exists! (1.02)" "/corvalo/install.exe" \
  version-newer.png
echo "newer version reported"
exit_through_menu
