#!/usr/bin/env bash
# The window's desktop entry, software centre description and icon: accepted by the freedesktop
# and AppStream validators, and naming each other as installed.
# Usage: desktop_files_test.sh PACKAGING-FOLDER. Skips without the validators.
set -u
cd "$1" || exit 1
id=org.quirebook.Quirebook
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

desktop-file-validate "$id.desktop" || fail "desktop-file-validate $id.desktop"
appstreamcli validate --no-net "$id.metainfo.xml" || fail "appstreamcli validate $id.metainfo.xml"

# The names that tie the three files together.
grep -qx "Icon=$id" "$id.desktop" && [ -f "$id.svg" ] || fail "the icon named is not $id.svg"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$id.metainfo.xml" \
    || fail "the description launches another entry"
if command -v xmllint >/dev/null; then
    xmllint --noout "$id.svg" || fail "the icon is not well-formed"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "the desktop files passed every check"
