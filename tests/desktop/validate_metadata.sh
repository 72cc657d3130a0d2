#!/usr/bin/env bash
# Runs Debian's desktop-entry and AppStream validators over the program's
# desktop entry and metainfo, and checks that both speak of the same program:
# the app id in file names, ids, launchable and icon, the binary, and that the
# newest release listed is the version being built.
# Usage: validate_metadata.sh APP-ID VERSION BINARY DESKTOP-FILE METAINFO-FILE
set -euo pipefail
# shellcheck source=tests/support/require-tools.sh
source "$(dirname "$0")/../../tests/support/require-tools.sh"
require_tools desktop-file-validate appstreamcli

app_id=$1 version=$2 binary=$3 desktop=$4 metainfo=$5
failures=0
fail()
{
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Any output at all is a finding: warnings and hints count as much as errors.
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [[ -n $out ]]; then
    fail "desktop-file-validate: $out"
fi
# --no-net: the homepage and screenshot addresses are not reachable from a
# build machine; everything else is checked, pedantic hints included. Errors
# and warnings fail; informational and pedantic hints (I:, P:) are shown but
# pass, since each AppStream release adds some (Debian 12's 0.16 does not know
# the <developer> block of AppStream 1.0, and 1.0 calls <developer_name> old).
if ! out=$(appstreamcli validate --pedantic --no-net --explain "$metainfo" 2>&1) \
    || grep -qE '^[[:space:]]*[EW]:' <<<"$out"; then
    fail "appstreamcli validate --pedantic: $out"
elif grep -qE '^[[:space:]]*[IP]:' <<<"$out"; then
    echo "appstreamcli hints, accepted:"
    grep -E '^[[:space:]]*[IP]:' <<<"$out"
fi

# The checks below read the files; they mean nothing if the files are broken.
if ((failures)); then
    exit 1
fi

[[ $(basename "$desktop") == "$app_id.desktop" ]] || fail "desktop entry is named $(basename "$desktop")"
[[ $(basename "$metainfo") == "$app_id.metainfo.xml" ]] || fail "metainfo is named $(basename "$metainfo")"

entry()
{
    sed -n "s/^$1=//p" "$desktop"
}
[[ $(entry Icon) == "$app_id" ]] || fail "desktop entry Icon is '$(entry Icon)'"
[[ $(entry Exec) == "$binary" ]] || fail "desktop entry Exec is '$(entry Exec)'"
[[ -n $(entry 'Name\[bg\]') ]] || fail "desktop entry has no Bulgarian name"
[[ -n $(entry 'Comment\[bg\]') ]] || fail "desktop entry has no Bulgarian comment"

# Prints the text of every element at an ElementTree PATH, followed by its
# attributes unless a second argument says "text".
xml()
{
    /usr/bin/python3 - "$metainfo" "$1" "${2:-}" <<'PY'
import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
for node in root.findall(sys.argv[2]):
    text = node.text.strip() if node.text else ""
    attributes = [] if sys.argv[3] == "text" else [f"{k}={v}" for k, v in sorted(node.attrib.items())]
    print(text, *attributes)
PY
}
[[ $(xml id) == "$app_id" ]] || fail "metainfo id is '$(xml id)'"
[[ $(xml launchable) == "$app_id.desktop type=desktop-id" ]] || fail "metainfo launchable is '$(xml launchable)'"
[[ $(xml provides/binary) == "$binary" ]] || fail "metainfo provides binary '$(xml provides/binary)'"
newest=$(xml releases/release | head -n 1)
[[ $newest == *" version=$version" ]] || fail "newest release listed is '$newest', the build is $version"
bg_names=$(xml "name[@{http://www.w3.org/XML/1998/namespace}lang='bg']" text)
[[ -n $bg_names ]] || fail "metainfo has no Bulgarian name"
[[ $bg_names == "$(entry 'Name\[bg\]')" ]] || fail "Bulgarian names differ: '$bg_names' and '$(entry 'Name\[bg\]')'"

if ((failures)); then
    echo "$failures problem(s) in the desktop metadata" >&2
    exit 1
fi
echo "desktop entry and metainfo valid and consistent"
