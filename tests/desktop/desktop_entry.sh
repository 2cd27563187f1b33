#!/usr/bin/env bash
# The installed menu entry is valid, starts the launcher installed beside the
# program, and names an icon that is installed.
# Usage: desktop_entry.sh <prefix>
set -euo pipefail
prefix=$1
entry=$prefix/share/applications/corvalo.desktop
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[[ -z "$out" ]] || fail "desktop-file-validate has remarks: $out"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[[ "$exec_line" == "$prefix/lib/corvalo/desktop-start" ]] ||
  fail "Exec is «$exec_line», not the installed launcher"
[[ -x "$exec_line" ]] || fail "the launcher $exec_line is not executable"
icon=$(sed -n 's/^Icon=//p' "$entry")
[[ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" &&
   -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ]] ||
  fail "the icon «$icon» is not installed"
echo "desktop entry valid; Exec=$exec_line"
