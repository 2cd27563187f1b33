#!/usr/bin/env bash
# The AppStream metadata is valid, and its newest release is this version.
# Usage: metainfo.sh <metainfo.xml> <version>
set -euo pipefail
file=$1
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$(appstreamcli validate --no-net "$file" 2>&1) || fail "appstreamcli validate: $out"
newest=$(grep -o '<release version="[^"]*"' "$file" | head -1 | cut -d'"' -f2)
[[ "$newest" == "$version" ]] || fail "the newest release is «$newest», the build is $version"
echo "metainfo valid; release $newest"
