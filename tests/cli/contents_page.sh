#!/usr/bin/env bash
# quirebook make --from-contents on a small site: the chapters follow the contents page's list,
# then its other links, and the index last; --depth and --no-contents-page change them, the links left out are told on stderr even with
# -q, and the options are refused where they make no sense. Usage: contents_page.sh QUIREBOOK
set -u
quirebook=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data HOME=$work/home
failures=0

source "$(dirname "$0")/checks.sh"
page() {  # page FILE TITLE BODY
    printf '<html><head><title>%s</title></head><body><h1>%s</h1>%s</body></html>\n' \
        "$2" "$2" "$3" >"$site/pages/$1"
}
# The chapters of a book in spine order, by file name.
spine() {
    unzip -p "$1" OPS/content.opf | tr '\n' ' ' | grep -o '<itemref idref="[^"]*"' |
        sed 's/.*idref="//; s/"$//' | while read -r id; do
            unzip -p "$1" OPS/content.opf | tr '\n' ' ' |
                grep -o "<item id=\"$id\" href=\"[^\"]*\"" | sed 's/.*href="//; s/"$//'
        done | tr '\n' ' ' | sed 's/ $//'
}

site=$work/site
mkdir -p "$site/pages/more" "$site/images"
page index.html Contents '<ul><li><a href="zebra.html">Z</a></li><li><a href="apple.html#x">A</a>
    </li><li><a href="gone.html">gone</a></li><li><a href="more/deep.html">deep</a></li>
    <li><a href="https://example.org/">web</a></li></ul>'
page zebra.html Zebra '<p>First chapter.</p><p><a href="index.html">up</a></p>'
page apple.html Apple '<p>Second chapter.</p><p><a href="mango.html">next</a></p>'
page mango.html Mango '<p>Only two links deep.</p>'
page more/deep.html Deep '<p>In a subfolder.</p>'

"$quirebook" make --from-contents "$site/pages/index.html" -o "$work/one.epub" -q \
    >"$work/one.txt" 2>"$work/one.err"
check "depth 1 makes the book" 0 $?
check "depth 1 order" "index.html zebra.html apple.html" "$(spine "$work/one.epub")"
check_contains "missing page told with -q" "$work/one.err" \
    "index.html: the link to gone.html is skipped: it is missing"
check_contains "subfolder page told" "$work/one.err" \
    "index.html: the link to more/deep.html is skipped: it lies in another folder"
check_contains "other sites counted" "$work/one.err" \
    "index.html: 1 link leads to another site, not followed"

"$quirebook" make --from-contents "$site/pages/index.html" --depth 2 --no-contents-page \
    -o "$work/two.epub" -q >/dev/null 2>&1
check "depth 2 makes the book" 0 $?
check "depth 2 order without the contents page" "zebra.html apple.html mango.html" \
    "$(spine "$work/two.epub")"

if command -v java >/dev/null && [ -f /usr/share/java/epubcheck.jar ]; then
    java -jar /usr/share/java/epubcheck.jar "$work/two.epub" >"$work/check.txt" 2>&1
    check "the book passes epubcheck" 0 $?
else
    echo "skipped: validation (Java or epubcheck is missing)"
fi

# A header bar before the contents list, and the index it marks with rel, as Sphinx writes them.
page manual.html Manual '<div class="related"><a href="genindex.html" rel="index">Index</a>
    <a href="about.html">About</a></div><ol><li><a href="zebra.html">Z</a></li>
    <li><a href="apple.html">A</a></li></ol>'
page genindex.html Index '<p>Index.</p>'
page about.html About '<p>About.</p>'
"$quirebook" make --from-contents "$site/pages/manual.html" -o "$work/manual.epub" -q \
    >/dev/null 2>&1
check "contents list first, index last" 0 $?
check "list order" "manual.html zebra.html apple.html about.html genindex.html" \
    "$(spine "$work/manual.epub")"

# Usage errors: exit status 2.
"$quirebook" make -o "$work/x.epub" >/dev/null 2>&1
check "make with neither pages nor a contents page" 2 $?
"$quirebook" make --from-contents "$site/pages/index.html" "$site/pages/zebra.html" \
    -o "$work/x.epub" >/dev/null 2>&1
check "a contents page and pages together" 2 $?
"$quirebook" make --depth 2 "$site/pages/zebra.html" -o "$work/x.epub" >/dev/null 2>&1
check "--depth without a contents page" 2 $?
"$quirebook" make --from-contents "$site/pages/index.html" --depth 0 -o "$work/x.epub" \
    >/dev/null 2>&1
check "--depth 0" 2 $?
"$quirebook" make --from-contents "$site/pages/index.html" --resource-root "$site/images" \
    -o "$work/x.epub" >"$work/root.txt" 2>&1
check "a root that does not hold the contents page" 2 $?
check_contains "root refusal message" "$work/root.txt" "does not hold the pages' folder"

finish_checks "contents page"
