#!/usr/bin/env bash
# The quirebook command on a book whose pictures and style sheets lie beside the pages' folder:
# the default resource root carries them, --resource-root narrows or refuses, and what is left
# out is told on stderr even with -q. Usage: resource_root.sh QUIREBOOK
set -u
quirebook=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
export XDG_DATA_HOME="$work/data"

source "$(dirname "$0")/checks.sh"

book=$work/book
mkdir -p "$book/text" "$book/images" "$book/css" "$work/elsewhere"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >"$book/images/p.png"
printf 'h1 { color: navy }\n' >"$book/css/s.css"
printf '%s' '<html><head><title>A</title><link rel="stylesheet" href="../css/s.css"></head>' \
    '<body><h1>A</h1><p><img src="../images/p.png" alt="P"/></p></body></html>' \
    >"$book/text/a.html"

"$quirebook" make "$book/text/a.html" -o "$work/wide.epub" -q >"$work/wide.txt" 2>&1
check "the default root carries the sibling folders" 0 $?
unzip -l "$work/wide.epub" >"$work/wide-list.txt"
check_contains "picture carried" "$work/wide-list.txt" "OPS/root/images/p.png"
check_contains "style sheet carried" "$work/wide-list.txt" "OPS/root/css/s.css"

(cd "$book/text" && "$quirebook" make a.html -o "$work/narrow.epub" --resource-root . -q) \
    >"$work/narrow.txt" 2>&1
check "a narrow root still makes the book" 0 $?
check_contains "what was left out is told with -q" "$work/narrow.txt" \
    "Left out of the book: 1 picture (1 refused) and 1 style sheet (1 refused)"

"$quirebook" make "$book/text/a.html" -o "$work/x.epub" --resource-root "$work/elsewhere" \
    >"$work/elsewhere.txt" 2>&1
check "a root that does not hold the pages' folder" 2 $?
check_contains "root refusal message" "$work/elsewhere.txt" "does not hold the pages' folder"

"$quirebook" make "$book/text/a.html" -o "$work/x.epub" --resource-root "$work/none" \
    >"$work/none.txt" 2>&1
check "a root that is not a folder" 2 $?

"$quirebook" make --help >"$work/help.txt" 2>&1
check_contains "help names the option" "$work/help.txt" "--resource-root"

finish_checks "resource root"
