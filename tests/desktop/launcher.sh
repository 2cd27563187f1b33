#!/usr/bin/env bash
# The menu's launcher starts the program beside it in the XDG configuration
# folder (made when missing), or where it was started when there is none.
# Usage: launcher.sh <desktop-start>
set -euo pipefail
launcher=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A stand-in program beside a copy of the launcher: it notes where it runs.
mkdir -p "$t/lib" "$t/start" "$t/home"
cp "$launcher" "$t/lib/desktop-start"
printf '#!/bin/sh\npwd >"%s/ran-in"\n' "$t" >"$t/lib/corvalo"
chmod +x "$t/lib/desktop-start" "$t/lib/corvalo"
: >"$t/a-file"

# One row a line: name, the folder the program must run in, the environment
# besides PATH.
check() {
  local name=$1 want=$2 got
  shift 2
  rm -f "$t/ran-in"
  (cd "$t/start" && env -i PATH=/usr/bin:/bin "$@" "$t/lib/desktop-start") ||
    fail "$name: the launcher failed"
  [[ -f "$t/ran-in" ]] || fail "$name: the program was not started"
  got=$(cat "$t/ran-in")
  [[ "$got" == "$want" ]] || fail "$name: ran in «$got», not «$want»"
  echo "ok: $name"
}
check "XDG_CONFIG_HOME set" "$t/xdg/corvalo" XDG_CONFIG_HOME="$t/xdg" HOME="$t/home"
check "XDG_CONFIG_HOME unset" "$t/home/.config/corvalo" HOME="$t/home"
check "XDG_CONFIG_HOME empty" "$t/home/.config/corvalo" XDG_CONFIG_HOME= HOME="$t/home"
check "XDG_CONFIG_HOME relative" "$t/home/.config/corvalo" XDG_CONFIG_HOME=xdg HOME="$t/home"
check "blanks and a leading dash" "$t/my config/-x/corvalo" \
  XDG_CONFIG_HOME="$t/my config/-x" HOME="$t/home"
check "no HOME" "$t/start" XDG_CONFIG_HOME=
check "HOME relative" "$t/start" HOME=home
check "folder cannot be made" "$t/start" XDG_CONFIG_HOME="$t/a-file" HOME="$t/home"
