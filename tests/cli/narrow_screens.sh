#!/usr/bin/env bash
# Every web book of the shared corpus, made with the default options, fits a reader 480 px wide:
# each chapter is shown in a frame of that width by headless Chromium and its document must not
# be wider than the frame (no sideways scrolling). All chapters of all books go through one
# Chromium process, one after another in the same frame. Prints each chapter that overflows and
# a line per book. Skips (exit 77) when the corpus or chromium is missing.
# Usage: narrow_screens.sh QUIREBOOK SOURCE-FOLDER [WIDTH [WEB-BOOKS-FOLDER]] (the last: a folder
# of books as the corpus's web folder holds them, each a folder with an order.txt)
set -u
quirebook=$1
root=$2
width=${3:-480}
web=${4:-$root/../shared/corpus/web}
if [ ! -d "$web" ] || ! command -v chromium >/dev/null; then
    echo "skipped: the corpus or chromium is missing"
    exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
started=$(date +%s)
failures=0
source "$(dirname "$0")/checks.sh"

# The chapters of the unzipped book in FOLDER, in reading order, as paths from FOLDER: the
# spine's items, found by their ids in the manifest.
spine_chapters() {
    local opf=$1/OPS/content.opf
    declare -A hrefs
    local id href
    while read -r id href; do hrefs[$id]=$href; done < <(
        tr '\n' ' ' <"$opf" | grep -oE '<item [^>]*>' |
            sed -nE 's/.*id="([^"]*)".*href="([^"]*)".*/\1 \2/p; s/.*href="([^"]*)".*id="([^"]*)".*/\2 \1/p')
    while read -r id; do
        [ -n "${hrefs[$id]:-}" ] && printf 'OPS/%s\n' "${hrefs[$id]}"
    done < <(tr '\n' ' ' <"$opf" | grep -oE '<itemref [^>]*>' | sed -E 's/.*idref="([^"]*)".*/\1/')
}

books=0
: >"$out/chapters.txt"
for book in "$web"/*/; do
    [ -f "$book/order.txt" ] || continue
    name=$(basename "$book")
    mapfile -t pages < <(tr -d '\r' <"$book/order.txt" | sed "s|^|$book|")
    if ! "$quirebook" make "${pages[@]}" -q -o "$out/$name.epub" >"$out/$name.log" 2>&1; then
        fail "$name: no book: $(head -c 300 "$out/$name.log")"
        continue
    fi
    mkdir -p "$out/books/$name"
    unzip -q "$out/$name.epub" -d "$out/books/$name"
    spine_chapters "$out/books/$name" | sed "s|^|$name/|" >>"$out/chapters.txt"
    books=$((books + 1))
done
[ "$books" -gt 0 ] || fail "no web book was made"

# The wrapper page loads each chapter into a frame WIDTH px wide, one after another, and writes
# "chapter scrollWidth clientWidth" for each into its title, which --dump-dom then shows.
{
    printf '<!DOCTYPE html>\n<html><head><title>pending</title></head><body style="margin:0">\n'
    printf '<iframe id="frame" style="width:%spx;height:900px;border:0"></iframe>\n' "$width"
    printf '<script>\nconst chapters = [\n'
    sed -E 's/(.*)/"\1",/' "$out/chapters.txt"
    cat <<'JS'
];
const frame = document.getElementById("frame");
const widths = [];
let next = 0;
frame.onload = () => {
    const page = frame.contentDocument.documentElement;
    widths.push(chapters[next] + " " + page.scrollWidth + " " + page.clientWidth);
    if (++next < chapters.length) frame.src = chapters[next];
    else document.title = "widths:" + widths.join(";");
};
frame.src = chapters[0];
</script></body></html>
JS
} >"$out/books/wrapper.html"

mkdir -p "$out/profile"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --allow-file-access-from-files --user-data-dir="$out/profile" --virtual-time-budget=60000 \
    --dump-dom "file://$out/books/wrapper.html" >"$out/dom.html" 2>"$out/chromium.txt"
result=$(sed -nE 's/.*<title>widths:([^<]*)<\/title>.*/\1/p' "$out/dom.html")
if [ -z "$result" ]; then
    fail "chromium measured nothing: $(grep -o '<title>[^<]*' "$out/dom.html") $(tail -c 300 "$out/chromium.txt")"
fi

# Per chapter: overflowing ones are named; per book: chapters measured and overflowing.
declare -A measured overflowing
while read -r chapter scroll client; do
    [ -n "$chapter" ] || continue
    book=${chapter%%/*}
    measured[$book]=$((${measured[$book]:-0} + 1))
    if [ "$scroll" -gt "$client" ]; then
        overflowing[$book]=$((${overflowing[$book]:-0} + 1))
        fail "$chapter is $scroll px wide in a frame of $client px"
    fi
done < <(tr ';' '\n' <<<"$result")
for book in "${!measured[@]}"; do
    echo "$book: ${overflowing[$book]:-0} of ${measured[$book]} chapters overflow at $width px"
done | sort
total=$(wc -l <"$out/chapters.txt")
check "chapters measured" "$total" "$(tr ';' '\n' <<<"$result" | grep -c .)"
echo "took $(($(date +%s) - started)) s"
finish_checks "narrow screen"
