#!/usr/bin/env bash
# quirebook make on a small site with a navigation bar and a footer on every page: they are left
# out and told on stdout, --keep-furniture keeps them, --remove names more, a selector that
# cannot be read is a usage error, and Word books are not touched. Usage: furniture.sh QUIREBOOK
set -u
quirebook=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data HOME=$work/home
failures=0

source "$(dirname "$0")/checks.sh"
# The text of a chapter of a book.
chapter() { unzip -p "$1" "OPS/$2"; }

mkdir -p "$work/site/pages"
for n in 1 2 3; do
    printf '<html><head><title>P%s</title></head><body>
<div class="navbar"><a href="p1.html">Home</a> <a href="p2.html">Previous</a></div>
<h1>Page %s</h1><p>The own words of page %s, more of them than the bar holds.</p>
<div class="footer"><p>Made by the site team</p></div></body></html>\n' "$n" "$n" "$n" \
        >"$work/site/pages/p$n.html"
done
pages=("$work/site/pages/p1.html" "$work/site/pages/p2.html" "$work/site/pages/p3.html")

"$quirebook" make "${pages[@]}" -o "$work/a.epub" >"$work/out" 2>"$work/err" ||
    fail "the book was not made: $(cat "$work/err")"
grep -qxF "Removed 6 furniture blocks (21 words) from 3 chapters" "$work/out" ||
    fail "no summary line on stdout: $(cat "$work/out")"
grep -qF "Removed 6 furniture blocks" "$work/err" || fail "no summary in the closing message"
grep -qxF "Furniture left out of p2.html: div.navbar, 2 words (the same on 3 of 3 chapters)" \
    "$work/out" || fail "no log line for p2's bar"
chapter "$work/a.epub" p2.html | grep -q "Previous" && fail "the bar is still in p2"
chapter "$work/a.epub" p2.html | grep -q "own words of page 2" || fail "p2 lost its text"

"$quirebook" make "${pages[@]}" -o "$work/b.epub" --keep-furniture >"$work/out" 2>&1 ||
    fail "--keep-furniture: no book"
grep -q "furniture" "$work/out" && fail "--keep-furniture still told furniture"
chapter "$work/b.epub" p3.html | grep -q "Made by the site team" || fail "--keep-furniture lost it"

"$quirebook" make "${pages[@]}" -o "$work/c.epub" --keep-furniture --remove 'div.footer' \
    --remove 'h1, body > p' >"$work/out" 2>&1 || fail "--remove: no book"
grep -qxF "Removed 9 furniture blocks (60 words) from 3 chapters" "$work/out" ||
    fail "--remove: $(grep Removed "$work/out")"
chapter "$work/c.epub" p1.html | grep -q "Home" || fail "--remove took the bar too"

"$quirebook" make "${pages[@]}" -o "$work/d.epub" --remove 'div:hover' >"$work/out" 2>&1
status=$?
[ "$status" = 2 ] || fail "a selector that cannot be read gave status $status, not 2"
grep -qF 'The selector "div:hover" cannot be read' "$work/out" || fail "$(cat "$work/out")"
[ -e "$work/d.epub" ] && fail "a book was made with a selector that cannot be read"

touch "$work/none.docx"
"$quirebook" word --remove x "$work/none.docx" >/dev/null 2>&1
[ $? = 2 ] || fail "word takes --remove"

finish_checks furniture
