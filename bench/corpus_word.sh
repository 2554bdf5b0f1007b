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

printf '| set | page | chapters | pictures | wall (s) | peak MB | epubcheck errors | by kind |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for set in "${sets[@]}"; do
    for folder in "$set"/*/; do
        page=$(find "$folder" -maxdepth 1 -type f \( -name '*.htm' -o -name '*.html' \) | head -n 1)
        [ -n "$page" ] || continue
        name=$(basename "$folder")
        rm -rf "$out/work"
        /usr/bin/time -f '%e %M' -o "$out/time.txt" "$quirebook" word-html "$page" \
            -o "$out/$name.epub" --keep-work "$out/work" -q >/dev/null 2>"$out/make.txt" || true
        read -r wall kilobytes < "$out/time.txt"
        chapters=$(find "$out/work/temp/OPS" -maxdepth 1 -name '*.htm*' 2>/dev/null | wc -l)
        pictures=$(find "$out/work/temp/OPS" -type f \( -iname '*.png' -o -iname '*.jpg' \
            -o -iname '*.gif' -o -iname '*.jpeg' \) 2>/dev/null | wc -l)
        if [ -f "$out/$name.epub" ]; then
            check_book "$out/$name.epub" "$out/check.txt"
            errors=$(book_errors "$out/check.txt")
            kinds=$(error_kinds "$out/check.txt")
        else
            errors="no book"; kinds=$(tr '\n' ' ' < "$out/make.txt" | head -c 160)
        fi
        printf '| %s | %s | %s | %s | %s | %.1f | %s | %s |\n' "$(basename "$set")" "$name" \
            "$chapters" "$pictures" "$wall" "$(awk "BEGIN { print $kilobytes / 1024 }")" \
            "$errors" "$kinds"
    done
done
