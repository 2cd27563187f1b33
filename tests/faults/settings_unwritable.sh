#!/usr/bin/env bash
# The settings become unwritable while the program runs, twice: the folder turns
# read-only, then corvalo.ini is replaced by a folder. Each time closing shows the
# error, the window stays open and the file is untouched; once the file is back,
# the close writes it, keeping the user's own keys.
# Root writes through permissions, so as root the program runs as "nobody".
set -euo pipefail
corvalo=$(realpath "$1")
source "$(dirname "$0")/fault_session.sh"
start_xvfb
work="$e2e_tmp/cwd"
cd "$work"

run_as=()
if (( EUID == 0 )); then
  command -v setpriv >/dev/null || fail "setpriv is needed to run as an ordinary user"
  chmod 755 "$e2e_tmp"
  chown 65534:65534 "$HOME" "$XDG_RUNTIME_DIR" "$work"
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

printf '; kept by hand\r\n[Internet]\r\nProxy=proxy.example\r\nProxyPort=8080\r\n' >corvalo.ini
printf '[Show]\r\nResultDecimalFormat=3\r\n' >>corvalo.ini
(( EUID == 0 )) && chown 65534:65534 corvalo.ini
cp corvalo.ini "$e2e_tmp/original.ini"

"${run_as[@]}" "$corvalo" >"$e2e_tmp/app.log" 2>&1 &
app=$!
e2e_pids+=($app)
wait_for 100 windows_named "$app" "Corvalo Calculator" || {
  cat "$e2e_tmp/app.log" >&2
  fail "the window did not appear"
}
main=$(windows_named "$app" "Corvalo Calculator" | head -1)

injected=0
survived=0
# Closes while the settings cannot be written: an error box, and the window stays.
refused_close() {
  local what=$1
  injected=$((injected + 1))
  file_exit "$app" "$main"
  wait_for 100 box_open "$app" || fail "$what: no error box on close"
  alive "$app" "$e2e_tmp/app.log" "$what"
  dismiss_box "$app" "$main"
  alive "$app" "$e2e_tmp/app.log" "$what, after the error"
  windows_named "$app" "Corvalo Calculator" | grep -qx "$main" || fail "$what: the window closed"
  survived=$((survived + 1))
  echo "$what: close refused with an error, window open"
}

# 1. The folder and file turn read-only.
chmod 555 "$work"
chmod 444 corvalo.ini
refused_close "read-only folder"
cmp -s corvalo.ini "$e2e_tmp/original.ini" || fail "read-only folder: corvalo.ini changed"
[[ "$(ls -A "$work")" == corvalo.ini ]] || fail "read-only folder: files left: $(ls -A "$work")"
chmod 755 "$work"
chmod 644 corvalo.ini

# 2. corvalo.ini becomes a folder (this stops root too).
mv corvalo.ini "$e2e_tmp/aside.ini"
mkdir corvalo.ini
refused_close "settings file replaced by a folder"
[[ -d corvalo.ini && -z "$(ls -A corvalo.ini)" ]] || fail "the folder in its place was touched"
rmdir corvalo.ini
mv "$e2e_tmp/aside.ini" corvalo.ini
cmp -s corvalo.ini "$e2e_tmp/original.ini" || fail "corvalo.ini changed while aside"

# 3. Writable again: the close goes through and nothing of the user's is lost.
exit_cleanly "$app" "$main" "$e2e_tmp/app.log"
grep -q $'^; kept by hand\r$' corvalo.ini || fail "the user's comment was lost"
grep -q $'^Proxy=proxy.example\r$' corvalo.ini || fail "the proxy was lost"
grep -q $'^ResultDecimalFormat=3\r$' corvalo.ini || fail "the decimals were lost"
grep -q $'^\[Form\]\r$' corvalo.ini || fail "the window's keys were not written"
echo "writable again: closed, corvalo.ini keeps the user's keys and gained the window's"
echo "[faults] settings unwritable while running: injected $injected, survived $survived"
