#!/usr/bin/env bash
# The settings while the program runs, in two runs. First run: the folder and the
# file turn read-only, so closing shows the error and the window stays with the file
# untouched; then only the folder stays read-only, and the close rewrites the file in
# place. Second run: corvalo.ini is a named pipe, which must neither stop the start
# nor be written through; once the file is back, the close writes it. Each close keeps
# the user's own keys.
# Root writes through permissions, so as root the program runs as "nobody".
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/../e2e/session.sh"
start_session
work=$PWD

run_as=()
if (( EUID == 0 )); then
  command -v setpriv >/dev/null || fail "setpriv is needed to run as an ordinary user"
  chmod 755 "$e2e_tmp"
  chown nobody:nogroup "$HOME" "$XDG_RUNTIME_DIR" "$work"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

printf '; kept by hand\r\n[Internet]\r\nProxy=proxy.example\r\nProxyPort=8080\r\n' >corvalo.ini
printf '[Show]\r\nResultDecimalFormat=3\r\n' >>corvalo.ini
(( EUID == 0 )) && chown nobody:nogroup corvalo.ini
cp -p corvalo.ini "$e2e_tmp/original.ini"

injected=0
survived=0
# Closes while the settings cannot be written: an error box, and the window stays.
refused_close() {
  local what=$1
  injected=$((injected + 1))
  menu_command f Return  # File > Exit
  wait_for 10 box_open || fail "$what: no error box on close"
  alive "$what"
  dismiss_box
  alive "$what, after the error"
  windows_named "$pid" "Corvalo Calculator" | grep -qx "$main" || fail "$what: the window closed"
  survived=$((survived + 1))
  echo "$what: close refused with an error, window open"
}

keeps_users_keys() {
  grep -q $'^; kept by hand\r$' corvalo.ini || fail "$1: the user's comment was lost"
  grep -q $'^Proxy=proxy.example\r$' corvalo.ini || fail "$1: the proxy was lost"
  grep -q "^ResultDecimalFormat=$2"$'\r$' corvalo.ini || fail "$1: not the run's decimals"
  grep -q $'^\[Form\]\r$' corvalo.ini || fail "$1: the window's keys were not written"
}

# 1. The folder and file turn read-only: refused.
launch_corvalo "$e2e_tmp/app.log" "${run_as[@]}" "$corvalo"
chmod 555 "$work"
chmod 444 corvalo.ini
refused_close "read-only folder and file"
cmp -s corvalo.ini "$e2e_tmp/original.ini" || fail "read-only folder: corvalo.ini changed"
[[ "$(ls -A "$work")" == corvalo.ini ]] || fail "read-only folder: files left: $(ls -A "$work")"

# 2. Only the folder stays read-only: the file is rewritten where it is.
chmod 644 corvalo.ini
inode=$(stat -c %i corvalo.ini)
exit_through_menu
chmod 755 "$work"
[[ "$(stat -c %i corvalo.ini)" == "$inode" ]] || fail "read-only folder: not written in place"
[[ "$(ls -A "$work")" == corvalo.ini ]] || fail "read-only folder: files left: $(ls -A "$work")"
keeps_users_keys "read-only folder" 3
echo "read-only folder, writable file: closed, corvalo.ini rewritten in place"

# 3. A named pipe in the file's place: the program starts on its defaults (the
# pipe has no writer, so a blocking read would never return) and the close is refused.
mv corvalo.ini "$e2e_tmp/aside.ini"
mkfifo corvalo.ini
(( EUID == 0 )) && chown nobody:nogroup corvalo.ini
launch_corvalo "$e2e_tmp/app.log" "${run_as[@]}" "$corvalo"
refused_close "settings file replaced by a named pipe"
[[ -p corvalo.ini ]] || fail "the pipe in its place was replaced"
rm corvalo.ini
mv "$e2e_tmp/aside.ini" corvalo.ini

# 4. The file is back: the next close writes it.
exit_through_menu
keeps_users_keys "file back" 2  # the pipe run started on defaults
echo "file back: closed, corvalo.ini keeps the user's keys and gained the window's"
echo "[faults] settings unwritable while running: injected $injected, survived $survived"
