#!/usr/bin/env bash
# Makes every web book of a corpus folder (each with an order.txt of its chapter files) with
# quirebook and prints, per book, the chapters, the wall time, the peak memory and epubcheck's
# errors grouped by kind. Usage: bench/corpus_books.sh [CORPUS-WEB-FOLDER] (default: the shared
# corpus beside the checkout). Run ./run.sh --version first, so that build/bin/quirebook exists.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-$root/../shared/corpus/web}
quirebook=${QUIREBOOK:-$root/build/bin/quirebook}
source "$root/bench/epubcheck_verdict.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

printf '| book | chapters | wall (s) | peak memory (MB) | epubcheck errors | errors by kind |\n'
printf '|---|---|---|---|---|---|\n'
for book in "$corpus"/*/; do
    name=$(basename "$book")
    [ -f "$book/order.txt" ] || continue
    mapfile -t pages < <(tr -d '\r' < "$book/order.txt" | sed "s|^|$book|")
    /usr/bin/time -f '%e %M' -o "$out/time.txt" \
        "$quirebook" make "${pages[@]}" -o "$out/$name.epub" -q >/dev/null 2>"$out/make.txt" || true
    read -r wall kilobytes < "$out/time.txt"
    if [ -f "$out/$name.epub" ]; then
        check_book "$out/$name.epub" "$out/check.txt"
        errors=$(book_errors "$out/check.txt")
        kinds=$(error_kinds "$out/check.txt")
    else
        errors="no book"; kinds=$(head -c 200 "$out/make.txt")
    fi
    printf '| %s | %s | %s | %.1f | %s | %s |\n' "$name" "${#pages[@]}" "$wall" \
        "$(awk "BEGIN { print $kilobytes / 1024 }")" "$errors" "$kinds"
done
