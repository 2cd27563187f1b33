#!/usr/bin/env bash
# The release check takes its package source from the machine's apt
# configuration: the first "deb" source of bookworm, from one-line .list files
# and deb822 .sources stanzas in apt's order; --mirror overrides it.
# Usage: release_mirror.sh <scripts/release-check>
set -euo pipefail
check_script=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
rows=0

# check NAME WANT [--mirror URL] -- FILE TEXT [FILE TEXT...]: an apt folder holding
# those files gives WANT ("" when the check must find no source).
check() {
  local name=$1 want=$2 got status=0
  shift 2
  local extra=()
  while [[ $1 != -- ]]; do extra+=("$1"); shift; done
  shift
  local dir=$t/apt$((++rows))
  mkdir -p "$dir/sources.list.d"
  while (( $# )); do
    printf '%b' "$2" >"$dir/$1"
    shift 2
  done
  got=$(bash "$check_script" --print-mirror --apt-dir "$dir" "${extra[@]}" 2>/dev/null) ||
    status=$?
  if [[ -z "$want" ]]; then
    [[ $status != 0 && -z "$got" ]] || fail "$name: found «$got» where there is no source"
  else
    [[ $status == 0 && "$got" == "$want" ]] ||
      fail "$name: «$got» (status $status), not «$want»"
  fi
  echo "ok: $name"
}

check "one-line entry" "http://a.invalid/debian" -- \
  sources.list "deb http://a.invalid/debian bookworm main\n"
check "options in brackets" "http://b.invalid/debian" -- \
  sources.list "deb [arch=amd64 signed-by=/k.gpg] http://b.invalid/debian bookworm main\n"
check "blanks inside the brackets" "https://c.invalid/debian" -- \
  sources.list "deb [ arch=amd64 ] https://c.invalid/debian bookworm main contrib\n"
check "deb-src, other suites and comments skipped" "http://d.invalid/debian" -- \
  sources.list "# deb http://x.invalid/debian bookworm main\ndeb-src http://x.invalid/debian \
bookworm main\ndeb http://x.invalid/debian bookworm-updates main\ndeb http://x.invalid/debian \
bullseye main\n\ndeb http://d.invalid/debian bookworm main # the nearest\n"
check "deb822 stanza with a key block" "http://e.invalid/debian" -- \
  sources.list.d/debian.sources "Types: deb\n# a comment\nURIs: http://e.invalid/debian\n\
Suites: bookworm bookworm-updates\nComponents: main\nSigned-By:\n -----BEGIN PGP-----\n \
URIs: http://key.invalid/debian\n .\n -----END PGP-----\n"
check "deb822: the first of several URIs" "http://f1.invalid/debian" -- \
  sources.list.d/d.sources "Types: deb-src deb\nURIs: http://f1.invalid/debian \
http://f2.invalid/debian\nSuites: bookworm\n"
check "deb822: field names in any case" "http://g.invalid/debian" -- \
  sources.list.d/d.sources "types: deb\nuris: http://g.invalid/debian\nSUITES: bookworm\n"
check "deb822: disabled and other stanzas skipped" "http://h.invalid/debian" -- \
  sources.list.d/d.sources "Types: deb\nURIs: http://x.invalid/debian\nSuites: bookworm\n\
Enabled: no\n\nTypes: deb-src\nURIs: http://x.invalid/debian\nSuites: bookworm\n\n\
Types: deb\nURIs: http://x.invalid/debian-security\nSuites: bookworm-security\n\n\
Types: deb\nURIs: http://h.invalid/debian\nSuites: bookworm\n"
check "sources.list before sources.list.d" "http://i.invalid/debian" -- \
  sources.list.d/a.list "deb http://x.invalid/debian bookworm main\n" \
  sources.list "deb http://i.invalid/debian bookworm main\n"
check ".list and .sources in one order by name" "http://j.invalid/debian" -- \
  sources.list.d/b.list "deb http://x.invalid/debian bookworm main\n" \
  sources.list.d/a.sources "Types: deb\nURIs: http://j.invalid/debian\nSuites: bookworm\n"
check "other file names are not read" "" -- \
  sources.list.d/debian.sources.disabled "Types: deb\nURIs: http://x.invalid/debian\n\
Suites: bookworm\n" \
  sources.list.d/old.list.save "deb http://x.invalid/debian bookworm main\n"
check "URIs that are no mirror or hold shell characters" "http://k.invalid/debian" -- \
  sources.list "deb cdrom:[Debian]/ bookworm main\ndeb http://x.invalid/\$(id) bookworm main\n\
deb http://x.invalid/a;b bookworm main\ndeb http://k.invalid/debian bookworm main\n"
check "no source at all" "" -- sources.list "# nothing\n"
check "--mirror wins" "http://m.invalid/debian" --mirror http://m.invalid/debian -- \
  sources.list "deb http://x.invalid/debian bookworm main\n"
