#!/usr/bin/env bash
# Every web book, Word page and Word document of the shared corpus of real documents, made with the
# quirebook command, passes epubcheck with no errors. Skips (exit 77) when the corpus, Java or
# epubcheck is missing. Usage: corpus_epubcheck.sh QUIREBOOK SOURCE-FOLDER
set -u
export QUIREBOOK=$1
root=$2
corpus=$root/../shared/corpus
if [ ! -d "$corpus/web" ] || ! command -v java >/dev/null || [ ! -f /usr/share/java/epubcheck.jar ]; then
    echo "skipped: the corpus, Java or epubcheck is missing"
    exit 77
fi
tables=$(mktemp)
trap 'rm -f "$tables"' EXIT
"$root/bench/corpus_books.sh" "$corpus/web" >"$tables" &&
    "$root/bench/corpus_word.sh" "$corpus/wordhtml/original" "$corpus/wordhtml/utf8" >>"$tables" &&
    "$root/bench/corpus_docx.sh" "$corpus/docx/word" "$corpus/docx/books" >>"$tables" ||
    { echo "a corpus script failed"; cat "$tables"; exit 1; }
cat "$tables"
# Data rows: the errors column must be 0 (it says "no book" when none was made, "checker failed"
# when epubcheck could not judge the book).
rows=$(grep '^| ' "$tables" | grep -v '^| book \|^| set \|^| document \|^|---')
failed=$(awk -F'|' '{
    errors = (NF == 8) ? $6 : (NF == 10) ? $8 : $10; gsub(/ /, "", errors)
    if (errors != "0") print }' <<<"$rows")
if [ -z "$rows" ]; then
    echo "no book was made: the corpus folders hold no book"
    exit 1
fi
if [ -n "$failed" ]; then
    echo "books with epubcheck errors:"; echo "$failed"
    exit 1
fi
echo "each of the $(wc -l <<<"$rows") corpus books passes epubcheck"
