#!/usr/bin/env bash
# Makes every Word page of a corpus folder (one page per subfolder, its pictures beside it) with
# quirebook word-html and prints, per page, the chapters written, the pictures carried, the wall
# time, the peak memory and epubcheck's errors by kind. Usage: bench/corpus_word.sh
# [WORDHTML-FOLDER] (default: both sets of the shared corpus). Run ./run.sh --version first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quirebook=${QUIREBOOK:-$root/build/bin/quirebook}
source "$root/bench/epubcheck_verdict.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ $# -gt 0 ]; then sets=("$@"); else
    sets=("$root/../shared/corpus/wordhtml/original" "$root/../shared/corpus/wordhtml/utf8"); fi

# Each page is made alone (for its time), then epubcheck checks the books in one process.
mkdir -p "$out/books"
rows=()
for set in "${sets[@]}"; do
    for folder in "$set"/*/; do
        page=$(find "$folder" -maxdepth 1 -type f \( -name '*.htm' -o -name '*.html' \) | head -n 1)
        [ -n "$page" ] || continue
        name=$(basename "$folder")
        book=$out/books/$(basename "$set")-$name
        rm -rf "$out/work"
        /usr/bin/time -f '%e %M' -o "$book.time" "$quirebook" word-html "$page" \
            -o "$book.epub" --keep-work "$out/work" -q >/dev/null 2>"$book.make" || true
        find "$out/work/temp/OPS" -maxdepth 1 -name '*.htm*' 2>/dev/null | wc -l >"$book.chapters"
        find "$out/work/temp/OPS" -type f \( -iname '*.png' -o -iname '*.jpg' \
            -o -iname '*.gif' -o -iname '*.jpeg' \) 2>/dev/null | wc -l >"$book.pictures"
        rows+=("$set"$'\t'"$name"$'\t'"$book")
    done
done
mapfile -t books < <(find "$out/books" -name '*.epub' | sort)
check_books "${books[@]}"

printf '| set | page | chapters | pictures | wall (s) | peak MB | epubcheck errors | by kind |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for row in "${rows[@]}"; do
    IFS=$'\t' read -r set name book <<<"$row"
    read -r wall kilobytes < "$book.time"
    if [ -f "$book.epub" ]; then
        errors=$(book_errors "$book.epub.check")
        kinds=$(error_kinds "$book.epub.check")
    else
        errors="no book"; kinds=$(tr '\n' ' ' < "$book.make" | head -c 160)
    fi
    printf '| %s | %s | %s | %s | %s | %.1f | %s | %s |\n' "$(basename "$set")" "$name" \
        "$(cat "$book.chapters")" "$(cat "$book.pictures")" "$wall" \
        "$(awk "BEGIN { print $kilobytes / 1024 }")" "$errors" "$kinds"
done
