#!/usr/bin/env bash
# Counts what a Word web page is made of: WordSection divisions, headings h1 to h4, tables, list
# paragraphs, MsoNormal paragraphs, _Toc anchors (distinct) and the links to them. Given a .docx,
# the page is the one quirebook's Word layer writes for it (quirebook_word_page); given an .htm,
# that page.
# Usage: bench/word_page_counts.sh PAGE.htm|DOCUMENT.docx... Run ./run.sh --version first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
count() { { grep -o -- "$1" "$2" || true; } | wc -l; }

printf '| page | WordSection | h1 | h2 | h3 | h4 | tables | list paragraphs | MsoNormal | _Toc anchors | links to _Toc |\n'
printf '|---|---|---|---|---|---|---|---|---|---|---|\n'
for input in "$@"; do
    page=$input
    if [[ $input == *.docx ]]; then
        page=$out/layer.html
        "$root/build/bin/quirebook_word_page" "$input" "$page" >/dev/null
    fi
    # Word's pages break lines inside tags: one line per page makes the counts exact.
    tr '\r\n' '  ' < "$page" > "$out/page.txt"
    p=$out/page.txt
    printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$(basename "$input")" \
        "$(count '<div class=WordSection[0-9]*>' "$p")" "$(count '<h1[ >]' "$p")" \
        "$(count '<h2[ >]' "$p")" "$(count '<h3[ >]' "$p")" "$(count '<h4[ >]' "$p")" \
        "$(count '<table[ >]' "$p")" "$(count 'class=MsoListParagraph' "$p")" \
        "$(count 'class=MsoNormal[ >]' "$p")" \
        "$( { grep -o 'name="_Toc[0-9]*"' "$p" || true; } | sort -u | wc -l)" \
        "$(count 'href="#_Toc[0-9]*"' "$p")"
done
