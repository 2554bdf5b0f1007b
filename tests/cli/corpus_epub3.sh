#!/usr/bin/env bash
# Every web book and Word page of the shared corpus, made with --epub-version 3, passes epubcheck
# with no errors. Two books are made at a time, then all are checked in one process. Prints the
# table (book, errors, warnings) and the time taken. Skips (exit 77) when the corpus, Java or
# epubcheck is missing.
# Usage: corpus_epub3.sh QUIREBOOK SOURCE-FOLDER
set -u
quirebook=$1
root=$2
corpus=$root/../shared/corpus
if [ ! -d "$corpus/web" ] || ! command -v java >/dev/null || [ ! -f /usr/share/java/epubcheck.jar ]; then
    echo "skipped: the corpus, Java or epubcheck is missing"
    exit 77
fi
source "$root/bench/epubcheck_verdict.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
started=$(date +%s)

# One line per book: NAME, then the sub-command and its inputs, separated by tabs.
jobs=$out/jobs.txt
for book in "$corpus"/web/*/; do
    [ -f "$book/order.txt" ] || continue
    pages=$(tr -d '\r' <"$book/order.txt" | sed "s|^|$book|" | paste -sd '\t')
    printf 'web/%s\tmake\t%s\n' "$(basename "$book")" "$pages"
done >"$jobs"
for folder in "$corpus"/wordhtml/*/*/; do
    page=$(find "$folder" -maxdepth 1 -type f \( -name '*.htm' -o -name '*.html' \) | head -n 1)
    [ -n "$page" ] || continue
    set=$(basename "$(dirname "$folder")")
    printf 'wordhtml/%s/%s\tword-html\t%s\n' "$set" "$(basename "$folder")" "$page"
done >>"$jobs"

# Makes the book of one line of $jobs in a folder of its own, with what was printed.
make_book() {
    local line=$1 name command inputs slot
    IFS=$'\t' read -r -a fields <<<"$line"
    name=${fields[0]}
    command=${fields[1]}
    inputs=("${fields[@]:2}")
    slot=$out/$(tr '/' '_' <<<"$name")
    mkdir -p "$slot"
    printf '%s\n' "$name" >"$slot/name.txt"
    "$quirebook" "$command" "${inputs[@]}" --epub-version 3 -q -o "$slot/book.epub" \
        --keep-work "$slot/work" >"$slot/make.txt" 2>&1 || rm -f "$slot/book.epub"
}
export -f make_book
export quirebook out
tr '\n' '\0' <"$jobs" | xargs -0 -P 2 -I{} bash -c 'make_book "$1"' _ {}
mapfile -t books < <(find "$out" -mindepth 2 -maxdepth 2 -name book.epub | sort)
check_books "${books[@]}"

# "| name | errors | warnings | kinds |" for each book.
for slot in "$out"/*/; do
    [ -f "$slot/name.txt" ] || continue
    if [ -f "$slot/book.epub" ]; then
        check=$slot/book.epub.check
        errors=$(book_errors "$check")
        warnings=$(grep -cE '^WARNING\(' "$check")
        kinds=$(error_kinds "$check")
    else
        errors="no book"; warnings="-"; kinds=$(tr '\n' ' ' <"$slot/make.txt" | head -c 160)
    fi
    printf '| %s | %s | %s | %s |\n' "$(cat "$slot/name.txt")" "$errors" "$warnings" "$kinds" \
        >"$slot/row.txt"
done

printf '| book | epubcheck errors | warnings | errors by kind |\n|---|---|---|---|\n'
rows=$(cat "$out"/*/row.txt | sort)
echo "$rows"
echo "time: $(($(date +%s) - started)) s for $(wc -l <"$jobs") books"
if [ "$(wc -l <"$jobs")" -eq 0 ] || [ -z "$rows" ]; then
    echo "no book was made: the corpus folders hold no book"
    exit 1
fi
failed=$(awk -F'|' '{ errors = $3; gsub(/ /, "", errors); if (errors != "0") print }' <<<"$rows")
if [ -n "$failed" ]; then
    echo "books with epubcheck errors:"; echo "$failed"
    exit 1
fi
echo "each of the $(wc -l <<<"$rows") corpus books passes epubcheck as EPUB 3"
