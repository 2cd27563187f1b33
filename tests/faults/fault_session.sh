# Shared by the fault scripts: the end-to-end session (private Xvfb, temporary
# home and folders) and what every fault script asks of the program.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/xvfb_session.sh"

# Fails unless process $1 still runs, showing its log $2.
alive() {
  kill -0 "$1" 2>/dev/null || { cat "$2" >&2; fail "the program died: $3"; }
}

# Process $1 shows a second window titled "Corvalo Calculator": a message or error box.
box_open() { (( $(windows_named "$1" "Corvalo Calculator" | wc -l) >= 2 )); }

# Closes the box of process $1 whose main window is $2 with Return.
dismiss_box() {
  local box
  box=$(windows_named "$1" "Corvalo Calculator" | grep -vx "$2" | head -1)
  keys_to "$box" Return
  wait_for 100 eval "! box_open $1" || fail "the box did not close"
}

# File > Exit on process $1 with main window $2; waits for the menu so the Return reaches it.
file_exit() {
  keys_to "$2" alt+f
  wait_for 50 eval "(( \$(xdotool search --onlyvisible --pid $1 | wc -l) >= 2 ))" ||
    fail "the File menu did not open"
  xdotool key Return
}

# File > Exit, then waits for a clean end of process $1 (log $3).
exit_cleanly() {
  file_exit "$1" "$2"
  wait_for 100 eval "! kill -0 $1 2>/dev/null" || fail "File > Exit did not end the program"
  wait "$1" || { cat "$3" >&2; fail "the program ended with an error"; }
}

# A request that reaches a busy or vanishing clipboard owner can wait for ever: bounded.
clipboard_targets() { timeout 3 xclip -o -selection clipboard -t TARGETS 2>/dev/null; }
copied_is() { [[ "$(timeout 3 xclip -o -selection clipboard 2>/dev/null)" == "$1" ]]; }
# xclip (not the program, which offers text/plain) owns the clipboard.
xclip_owns() {
  local t
  t=$(clipboard_targets) && [[ -n "$t" && "$t" != *text/plain* ]]
}
program_owns() { [[ "$(clipboard_targets)" == *text/plain* ]]; }

# Megabytes of a huge clipboard for program $1: 100, or 20 when it carries
# AddressSanitizer, which checks the same paths several times slower per byte.
huge_mb() {
  if ldd "$1" 2>/dev/null | grep -q 'libasan'; then echo 20; else echo 100; fi
}
