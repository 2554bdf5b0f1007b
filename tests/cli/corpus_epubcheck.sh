#!/usr/bin/env bash
# Every web book, Word page and Word document of the shared corpus of real documents, made with the
# quirebook command, passes epubcheck with no errors. Skips when the corpus, Java or epubcheck
# is missing. Usage: corpus_epubcheck.sh SOURCE-FOLDER
set -u
root=$1
corpus=$root/../shared/corpus
if [ ! -d "$corpus/web" ] || ! command -v java >/dev/null || [ ! -f /usr/share/java/epubcheck.jar ]; then
    echo "skipped: the corpus, Java or epubcheck is missing"
    exit 0
fi
tables=$(mktemp)
trap 'rm -f "$tables"' EXIT
"$root/bench/corpus_books.sh" "$corpus/web" >"$tables" &&
    "$root/bench/corpus_word.sh" "$corpus/wordhtml/original" "$corpus/wordhtml/utf8" >>"$tables" &&
    "$root/bench/corpus_docx.sh" "$corpus/docx/word" "$corpus/docx/books" >>"$tables" ||
    { echo "a corpus script failed"; cat "$tables"; exit 1; }
cat "$tables"
# Data rows: the errors column must be 0 (it says "no book" when none was made).
failed=$(grep '^| ' "$tables" | grep -v '^| book \|^| set \|^| document \|^|---' | awk -F'|' '{
    errors = (NF == 8) ? $6 : (NF == 10) ? $8 : $10; gsub(/ /, "", errors)
    if (errors != "0") print }')
if [ -n "$failed" ]; then
    echo "books with epubcheck errors:"; echo "$failed"
    exit 1
fi
echo "every corpus book passes epubcheck"
