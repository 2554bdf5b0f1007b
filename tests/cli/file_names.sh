#!/usr/bin/env bash
# The quirebook command on pages and pictures whose file names are in Latin-1 bytes, as old
# archives have them, linked by Latin-1 text, by percent-encoded Latin-1 and by UTF-8: the book
# names every file in UTF-8, keeps every picture and link, and epubcheck accepts it.
# Usage: file_names.sh QUIREBOOK (exit 77 without epubcheck)
set -u
quirebook=$1
jar=/usr/share/java/epubcheck.jar
[ -f "$jar" ] && command -v java >/dev/null || { echo "epubcheck or Java is missing"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
export XDG_DATA_HOME="$work/data"

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A 1x1 PNG picture.
png() {
    printf '\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01'
    printf '\x00\x00\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xde\x00\x00\x00\x0c\x49\x44'
    printf '\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x00\x03\x01\x01\x00\xc9\xfe\x92\xef\x00\x00'
    printf '\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82'
}

pages=$work/pages
mkdir -p "$pages/im"$'\xe1'"genes"
png >"$pages/"$'\xe9t\xe9'".png"
png >"$pages/im"$'\xe1'"genes/ni"$'\xf1'"o.png"
# Latin-1 text naming Latin-1 files, as written and percent-encoded.
printf '%s' '<html><head><meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">' \
    '<title>Caf'$'\xe9''</title></head><body><h1>Le caf'$'\xe9''</h1>' \
    '<p><img src="'$'\xe9t\xe9''.png" alt="summer"/> <img src="im%E1genes/ni%F1o.png" alt="child"/>' \
    ' <a href="ann'$'\xe9''e.htm">next</a> <a href="ann%E9e.htm#x">next heading</a></p>' \
    '</body></html>' >"$pages/caf"$'\xe9'".htm"
# UTF-8 text naming the same files, as written and percent-encoded.
printf '%s' '<html><head><meta charset="utf-8"><title>Année</title></head><body>' \
    '<h1 id="x">L'"'"'année</h1><p><img src="%C3%A9t%C3%A9.png" alt="summer again"/>' \
    ' <img src="imágenes/niño.png" alt="child again"/> <a href="café.htm">back</a></p>' \
    '</body></html>' >"$pages/ann"$'\xe9'"e.htm"

"$quirebook" make "$pages/caf"$'\xe9'".htm" "$pages/ann"$'\xe9'"e.htm" -o "$work/book.epub" \
    --id urn:uuid:00000000-0000-4000-8000-000000000000 -q >"$work/make.txt" 2>&1 ||
    fail "make: exit status $?: $(cat "$work/make.txt")"
grep -q "Left out" "$work/make.txt" && fail "make left something out: $(cat "$work/make.txt")"

unzip -Z1 "$work/book.epub" >"$work/names.txt" 2>/dev/null || fail "the book is no zip archive"
iconv -f UTF-8 -t UTF-8 "$work/names.txt" >/dev/null 2>&1 ||
    fail "the package holds names that are not UTF-8: $(cat -v "$work/names.txt")"
for name in OPS/café.htm OPS/année.htm OPS/été.png OPS/imágenes/niño.png; do
    grep -qxF "$name" "$work/names.txt" || fail "$name not in the book: $(cat "$work/names.txt")"
done

# Every picture and link is still there (a picture lost becomes its alt text).
mkdir "$work/book"
(cd "$work/book" && unzip -q "$work/book.epub")
for chapter in café année; do
    pictures=$(grep -o '<img ' "$work/book/OPS/$chapter.htm" | wc -l)
    [ "$pictures" -eq 2 ] || fail "$chapter.htm shows $pictures pictures, not 2"
done
[ "$(grep -o '<a href="année.htm' "$work/book/OPS/café.htm" | wc -l)" -eq 2 ] ||
    fail "café.htm lost a link to année.htm: $(grep -o '<a [^>]*>' "$work/book/OPS/café.htm")"
grep -q '<a href="café.htm"' "$work/book/OPS/année.htm" || fail "année.htm lost its link back"
grep -q 'Le café' "$work/book/OPS/café.htm" || fail "the Latin-1 text was not read as such"
grep -q '<text>Le café</text>' "$work/book/OPS/toc.ncx" ||
    fail "the table of contents lost the Latin-1 chapter's title"

java -jar "$jar" "$work/book.epub" >"$work/check.txt" 2>&1 ||
    fail "epubcheck refused the book: $(grep -E 'ERROR|FATAL' "$work/check.txt")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all file name checks passed"
