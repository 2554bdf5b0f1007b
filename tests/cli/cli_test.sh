#!/usr/bin/env bash
# The quirebook command end to end on the bundled example book: exit statuses, messages, the
# reading order, the work folder and repacking. Usage: cli_test.sh QUIREBOOK EXAMPLE-FOLDER
set -u
quirebook=$1
example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

source "$(dirname "$0")/checks.sh"

cd "$example" || exit 1
mapfile -t pages < <(tr -d '\r' < order.txt)
export XDG_DATA_HOME="$work/data"

"$quirebook" make "${pages[@]}" -o "$work/out/kites.epub" --title "Paper <Kites>" \
    --author "Ann" --cover images/cover.png --title-page --keep-work "$work/keep" -q \
    >"$work/make.txt" 2>&1
check "make with metadata, cover and title page" 0 $?
unzip -p "$work/out/kites.epub" OPS/content.opf >"$work/opf.txt"
check_contains "escaped title" "$work/opf.txt" "<dc:title>Paper &lt;Kites&gt;</dc:title>"
check_contains "cover page listed" "$work/opf.txt" 'idref="coverpage"'
unzip -p "$work/out/kites.epub" mimetype >"$work/mimetype.txt"
check_contains "mimetype first" "$work/mimetype.txt" "application/epub+zip"

# The table of contents lists each chapter with its headings beneath it, unless told otherwise.
unzip -p "$work/out/kites.epub" OPS/toc.ncx >"$work/toc.txt"
check_contains "a heading beneath its chapter" "$work/toc.txt" \
    "<text>1. The cross</text>"
check_contains "a heading's own id is its anchor" "$work/toc.txt" "building.html#bridle"
"$quirebook" make "${pages[@]}" -o "$work/out/chapters.epub" --toc chapters -q >/dev/null 2>&1
check "make with the chapters alone" 0 $?
[ "$(unzip -p "$work/out/chapters.epub" OPS/toc.ncx | grep -c '<navPoint')" = "${#pages[@]}" ] ||
    { echo "FAIL: --toc chapters lists more than the chapters"; failures=$((failures + 1)); }
"$quirebook" make "${pages[@]}" -o "$work/out/headings.epub" --toc-headings -q >/dev/null 2>&1
check "--toc-headings still works" 0 $?
cmp -s <(unzip -p "$work/out/headings.epub" OPS/toc.ncx | grep -o 'content src="[^"]*"') \
    <(grep -o 'content src="[^"]*"' "$work/toc.txt") ||
    { echo "FAIL: --toc-headings differs from the default"; failures=$((failures + 1)); }
"$quirebook" make "${pages[@]}" --toc everything -q >"$work/toc-usage.txt" 2>&1
check "an unknown table of contents" 2 $?

"$quirebook" repack "$work/keep/temp" "$work/out/again.epub" >"$work/repack.txt" 2>&1
check "repack the kept work folder" 0 $?
check_contains "repack message" "$work/repack.txt" "ePub re-compiled successfully."

"$quirebook" make "${pages[1]}" "${pages[0]}" -o "$work/out/order.epub" -q >/dev/null 2>&1
check "make two pages" 0 $?
unzip -p "$work/out/order.epub" OPS/content.opf | grep -o 'idref="n[0-9]*"\|href="[a-z]*\.html"' \
    | tr '\n' ' ' >"$work/order.txt"
check_contains "reading order follows the arguments" "$work/order.txt" \
    "href=\"${pages[1]}\" href=\"${pages[0]}\""

if command -v java >/dev/null && [ -f /usr/share/java/epubcheck.jar ]; then
    "$quirebook" validate "$work/out/kites.epub" >"$work/validate.txt" 2>&1
    check "validate the made book" 0 $?
    check_contains "validator verdict" "$work/validate.txt" "The book is valid."
else
    echo "skipped: validation (Java or epubcheck is missing)"
fi

# The program starts itself again with malloc asked for large pages, which the programs it starts
# inherit; a choice the user made in GLIBC_TUNABLES is kept as it is.
if grep -qE '\[(always|madvise)\]' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null; then
    mkdir -p "$work/bin" && touch "$work/fake.jar"
    printf '#!/bin/sh\necho "$GLIBC_TUNABLES" >>"%s"\n' "$work/tunables.txt" >"$work/bin/java"
    chmod +x "$work/bin/java"
    for tunables in "" "glibc.malloc.arena_max=2" "glibc.malloc.hugetlb=0"; do
        GLIBC_TUNABLES=$tunables PATH="$work/bin:$PATH" "$quirebook" make "${pages[0]}" \
            -o "$work/out/tunables.epub" --validate --option "EpubCheckJar=$work/fake.jar" \
            >/dev/null 2>&1
    done
    printf 'glibc.malloc.hugetlb=1\nglibc.malloc.arena_max=2:glibc.malloc.hugetlb=1\nglibc.malloc.hugetlb=0\n' \
        >"$work/tunables-expected.txt"
    diff "$work/tunables-expected.txt" "$work/tunables.txt" >/dev/null ||
        { echo "FAIL: GLIBC_TUNABLES as the programs started see it:"; cat "$work/tunables.txt"
          failures=$((failures + 1)); }
else
    echo "skipped: large pages (the kernel offers no transparent huge pages)"
fi

mkdir -p "$work/other" && cp "${pages[0]}" "$work/other/x.html"
"$quirebook" make "${pages[1]}" "$work/other/x.html" -q >"$work/two.txt" 2>&1
check "pages in two folders" 1 $?
check_contains "two folders message" "$work/two.txt" "must lie in one folder"

"$quirebook" make no-such-page.html >"$work/missing.txt" 2>&1
check "a page that does not exist" 2 $?
check_contains "missing page named" "$work/missing.txt" "no-such-page.html"

"$quirebook" make --option TitleSource=1 --option PassEpubCheck=true "${pages[0]}" \
    -o "$work/out/options.epub" -q >"$work/options.txt" 2>&1
check "options given before the pages" 0 $?

"$quirebook" make "${pages[0]}" --option NoSuchOption=1 >"$work/option.txt" 2>&1
check "an unknown option name" 2 $?
check_contains "unknown option named" "$work/option.txt" "NoSuchOption"
"$quirebook" make "${pages[0]}" --option PassEpubCheck=maybe >"$work/value.txt" 2>&1
check "a flag that is neither true nor false" 2 $?

"$quirebook" make "${pages[0]}" --titles off -o "$work/out/untitled.epub" >"$work/off.txt" 2>&1
check "no chapter titles" 1 $?
check_contains "titles refusal" "$work/off.txt" "Please specify chapter titles for each file"

# A page saved by Word, two sections: two chapters.
cat >"$work/Doc.htm" <<'PAGE'
<html><head><meta http-equiv=Content-Type content="text/html; charset=utf-8">
<meta name=Generator content="Microsoft Word 15 (filtered)"><title>Doc</title>
<style><!-- /* Style Definitions */ p.MsoNormal {margin:0in;font-family:"Arial";} --></style>
</head><body lang=EN-US><div class=WordSection1><h1>One</h1><p class=MsoNormal>a</p></div>
<div class=WordSection2><h1>Two</h1><p class=MsoNormal>b</p></div></body></html>
PAGE
"$quirebook" word-html "$work/Doc.htm" -o "$work/out/doc.epub" -q >"$work/word.txt" 2>&1
check "word-html" 0 $?
unzip -l "$work/out/doc.epub" >"$work/word-list.txt"
check_contains "first section chapter" "$work/word-list.txt" "OPS/c_1.htm"
check_contains "second section chapter" "$work/word-list.txt" "OPS/c_2.htm"
"$quirebook" word-html "$work/Doc.htm" --no-split -o "$work/out/one.epub" -q >/dev/null 2>&1
check "word-html without split" 0 $?
unzip -l "$work/out/one.epub" >"$work/one-list.txt"
check_contains "one chapter under the page's name" "$work/one-list.txt" "OPS/Doc.htm"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
if [ -f "$font" ]; then
    "$quirebook" word-html "$work/Doc.htm" --embed-font "Arial=$font" -o "$work/out/font.epub"         -q >/dev/null 2>&1
    check "word-html with an embedded font" 0 $?
    unzip -p "$work/out/font.epub" OPS/style.css >"$work/font.css"
    check_contains "font-face rule" "$work/font.css" "@font-face"
fi

# A Word document: the bundled example, its properties as the book's fields.
document=$example/../word/kite-journal.docx
"$quirebook" word "$document" -o "$work/out/journal.epub" --keep-work "$work/word" -q \
    >"$work/document.txt" 2>&1
check "word" 0 $?
unzip -p "$work/out/journal.epub" OPS/content.opf >"$work/journal-opf.txt"
check_contains "title from the document" "$work/journal-opf.txt" "Kite-Maker"
check_contains "author from the document" "$work/journal-opf.txt" "The Quirebook Team"
check_contains "one chapter per section" "$work/journal-opf.txt" 'href="c_3.htm"'
"$quirebook" word "$document" --no-properties --title-page -o "$work/out/plain.epub" -q \
    >/dev/null 2>&1
check "word without properties" 0 $?
unzip -p "$work/out/plain.epub" OPS/content.opf >"$work/plain-opf.txt"
check_contains "title from the file name" "$work/plain-opf.txt" "<dc:title>kite-journal</dc:title>"
# Without -o a book is named as the window names it: after the document's file name, or the
# pages' folder; --title changes the title only. --stylesheet stands instead of the chapters' own.
mkdir -p "$work/beside" && cp "$document" "$work/beside/notes.docx"
(cd "$work/beside" && "$quirebook" word notes.docx --title "Other" --option SaveBesideSource=true \
    -q >/dev/null 2>&1)
check "word without -o" 0 $?
check "the book named after its document" 0 "$(test -f "$work/beside/notes.epub"; echo $?)"
cp -r "$example" "$work/Paper Kites"
printf 'p { color: navy }\n' >"$work/plain.css"
(cd "$work/Paper Kites" && "$quirebook" make "${pages[@]}" --title "Kites" --stylesheet \
    "$work/plain.css" --option SaveBesideSource=true -q >/dev/null 2>&1)
check "make without -o" 0 $?
check "the book named after its folder" 0 "$(test -f "$work/Paper Kites/Paper Kites.epub"; echo $?)"
unzip -p "$work/Paper Kites/Paper Kites.epub" "OPS/${pages[0]}" >"$work/replaced.txt"
check_contains "the replacement sheet linked" "$work/replaced.txt" 'href="plain.css"'
check "no style sheet of its own beside it" 0 "$(grep -c 'href="css/' "$work/replaced.txt")"

"$quirebook" word "$work/make.txt" -o "$work/out/text.epub" >"$work/text.txt" 2>&1
check "word on a text file" 1 $?
check_contains "text file refused by name" "$work/text.txt" "make.txt cannot be read"

"$quirebook" >/dev/null 2>&1
check "no sub-command" 2 $?

finish_checks "command line"
