#!/usr/bin/env bash
# Makes every web book of a corpus folder (each with an order.txt of its chapter files) with the
# page furniture left out, and prints per book: the chapters, the words the chapters keep, the
# furniture words left out (from the program's summary line), their share of the chapters' words,
# the blocks left out, and epubcheck's errors. Usage: bench/furniture_share.sh [CORPUS-WEB-FOLDER]
# [MAKE-OPTION...] (default folder: the shared corpus beside the checkout; options such as
# --remove div.navheader are passed to quirebook make). Needs build/bin/quirebook and python3.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-$root/../shared/corpus/web}
shift || true
quirebook=${QUIREBOOK:-$root/build/bin/quirebook}
source "$root/bench/epubcheck_verdict.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The words of the chapters NAME... of BOOK: blank-separated runs of the text in their bodies.
book_words() {
    python3 - "$@" <<'PY'
import sys, zipfile
from html.parser import HTMLParser
class Words(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.words, self.body, self.skip = 0, False, 0
    def handle_starttag(self, tag, attrs):
        if tag == "body": self.body = True
        if tag in ("script", "style"): self.skip += 1
    def handle_endtag(self, tag):
        if tag in ("script", "style") and self.skip: self.skip -= 1
    def handle_data(self, data):
        if self.body and not self.skip: self.words += len(data.replace("\u00a0", " ").split())
book = zipfile.ZipFile(sys.argv[1])
total = 0
for name in sys.argv[2:]:
    counter = Words()
    counter.feed(book.read("OPS/" + name).decode("utf-8", "replace"))
    total += counter.words
print(total)
PY
}

printf '| book | chapters | words kept | furniture words removed | share | blocks | epubcheck errors |\n'
printf '|---|---|---|---|---|---|---|\n'
for book in "$corpus"/*/; do
    name=$(basename "$book")
    [ -f "$book/order.txt" ] || continue
    mapfile -t pages < <(tr -d '\r' <"$book/order.txt" | sed "s|^|$book|")
    nice -n 19 "$quirebook" make "${pages[@]}" "$@" -o "$out/$name.epub" >"$out/log.txt" \
        2>"$out/make.txt" || true
    if [ ! -f "$out/$name.epub" ]; then
        printf '| %s | %s | no book: %s | | | | |\n' "$name" "${#pages[@]}" \
            "$(head -c 200 "$out/make.txt")"
        continue
    fi
    summary=$(grep -E '^Removed [0-9]+ furniture blocks? \(' "$out/log.txt" | tail -n 1 || true)
    blocks=$(sed -E 's/^Removed ([0-9]+) .*/\1/' <<<"${summary:-Removed 0 }")
    removed=$(sed -E 's/^[^(]*\(([0-9]+) words?\).*/\1/' <<<"${summary:-x (0 words)}")
    mapfile -t names < <(for page in "${pages[@]}"; do basename "$page"; done)
    kept=$(book_words "$out/$name.epub" "${names[@]}")
    # epubcheck exits 1 on a book with errors; the table counts them instead of stopping.
    check_book "$out/$name.epub" "$out/check.txt" || true
    printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$name" "${#pages[@]}" "$kept" "$removed" \
        "$(awk "BEGIN { printf \"%.1f %%\", 100 * $removed / ($kept + $removed) }")" "$blocks" \
        "$(book_errors "$out/check.txt")"
done
