#!/usr/bin/env bash
# Makes every Word document (.docx, and .doc when LibreOffice is installed) of the given folders
# with quirebook word and prints, per document, its sections, footnotes and endnotes, the
# chapters and pictures of the book, the wall time, the peak memory and epubcheck's errors by
# kind. Usage: bench/corpus_docx.sh [FOLDER...] (default: docx/word and docx/books of the shared
# corpus). Run ./run.sh --version first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quirebook=${QUIREBOOK:-$root/build/bin/quirebook}
source "$root/bench/epubcheck_verdict.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ $# -gt 0 ]; then folders=("$@"); else
    folders=("$root/../shared/corpus/docx/word" "$root/../shared/corpus/docx/books"); fi
patterns=(-name '*.docx')
if command -v soffice >/dev/null || command -v libreoffice >/dev/null; then
    patterns+=(-o -name '*.doc'); fi
mapfile -t documents < <(for folder in "${folders[@]}"; do
    find "$folder" -maxdepth 1 -type f \( "${patterns[@]}" \) | sort; done)

# Each book is made alone (for its time), then epubcheck checks them all in one process.
mkdir -p "$out/books" "$out/rows"
for document in "${documents[@]}"; do
    name=$(basename "$document")
    rm -rf "$out/work"
    /usr/bin/time -f '%e %M' -o "$out/rows/$name.time" "$quirebook" word "$document" \
        -o "$out/books/$name.epub" --keep-work "$out/work" -q >/dev/null 2>"$out/rows/$name.err" || true
    find "$out/work/temp/OPS" -maxdepth 1 -name '*.htm*' 2>/dev/null | wc -l >"$out/rows/$name.chapters"
    find "$out/work/temp/OPS" -type f \( -iname '*.png' -o -iname '*.jpg' -o -iname '*.gif' \
        -o -iname '*.jpeg' -o -iname '*.svg' \) 2>/dev/null | wc -l >"$out/rows/$name.pictures"
done
mapfile -t books < <(find "$out/books" -name '*.epub' | sort)
check_books "${books[@]}"

# How often a pattern occurs in a part of the document (0 when a .doc cannot be unpacked).
occurrences() { { unzip -p "$1" "$2" 2>/dev/null || true; } | { grep -o "$3" || true; } | wc -l; }

printf '| document | sections | footnotes | endnotes | chapters | pictures | wall (s) | peak MB | epubcheck errors | by kind |\n'
printf '|---|---|---|---|---|---|---|---|---|---|\n'
for document in "${documents[@]}"; do
    name=$(basename "$document")
    read -r wall kilobytes < "$out/rows/$name.time"
    # A section ends at each section properties element (the last one is the body's own).
    sections=$(occurrences "$document" word/document.xml '<w:sectPr')
    footnotes=$(occurrences "$document" word/document.xml '<w:footnoteReference ')
    endnotes=$(occurrences "$document" word/document.xml '<w:endnoteReference ')
    if [ -f "$out/books/$name.epub" ]; then
        check=$out/books/$name.epub.check
        errors=$(book_errors "$check")
        kinds=$(error_kinds "$check")
    else
        errors="no book"; kinds=$(tr '\n' ' ' < "$out/rows/$name.err" | head -c 160)
    fi
    printf '| %s | %s | %s | %s | %s | %s | %s | %.1f | %s | %s |\n' "$name" "$sections" \
        "$footnotes" "$endnotes" "$(cat "$out/rows/$name.chapters")" \
        "$(cat "$out/rows/$name.pictures")" "$wall" "$(awk "BEGIN { print $kilobytes / 1024 }")" \
        "$errors" "$kinds"
done
