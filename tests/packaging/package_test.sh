#!/usr/bin/env bash
# The .deb end to end: packed by cpack from the build folder, judged by lintian, unpacked into an
# empty root whose quirebook makes the example books from the unpacked data into the user's data
# folder. Usage: package_test.sh BUILD-FOLDER VERSION CPACK. Skips without cpack, dpkg-deb or
# lintian.
set -u
build=$1
version=$2
cpack=$3
for tool in "$cpack" dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

deb=$work/pack/quirebook_${version}_$(dpkg --print-architecture).deb
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.txt" 2>&1 \
    || [ ! -f "$deb" ]; then
    cat "$work/cpack.txt"
    echo "FAIL: cpack made no $(basename "$deb")"
    exit 1
fi
echo "== $(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Package Version Architecture Maintainer Section Priority Depends Recommends \
    Suggests

# What the package declares.
field() { dpkg-deb -f "$deb" "$1"; }
for library in libc6 libstdc++6 libpcre2-8-0 libzip4 libpugixml1v5 libgumbo1; do
    [[ $(field Depends) == *"$library"* ]] || fail "Depends lacks $library: $(field Depends)"
done
[ "$(field Recommends)" = "epubcheck, default-jre-headless" ] || fail "Recommends: $(field Recommends)"
[ "$(field Suggests)" = "libreoffice-writer" ] || fail "Suggests: $(field Suggests)"
[ -n "$(field Section)" ] && [ -n "$(field Priority)" ] || fail "no Section or Priority"

# What it holds, all owned by root.
echo "== dpkg-deb -c"
dpkg-deb -c "$deb" | tee "$work/contents.txt"
awk '{print $6}' "$work/contents.txt" | sed 's|^\./|/|; s|/$||' >"$work/files.txt"
has() { grep -qxF "$1" "$work/files.txt"; }
for file in /usr/bin/quirebook /usr/share/quirebook/lib/OPS/content.opf \
    /usr/share/quirebook/lang/common.lang /usr/share/quirebook/help/index.htm \
    /usr/share/quirebook/examples/kites/order.txt /usr/share/man/man1/quirebook.1.gz \
    /usr/share/bash-completion/completions/quirebook /usr/share/doc/quirebook/copyright \
    /usr/share/doc/quirebook/changelog.gz; do
    has "$file" || fail "the package lacks $file"
done
window_files=(/usr/share/man/man1/quirebook-gui.1.gz
    /usr/share/applications/org.quirebook.Quirebook.desktop
    /usr/share/metainfo/org.quirebook.Quirebook.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/org.quirebook.Quirebook.svg)
for file in "${window_files[@]}"; do
    # The window's files come with the window, and only with it.
    if has /usr/bin/quirebook-gui; then
        has "$file" || fail "the package has the window but lacks $file"
    else
        has "$file" && fail "the package has no window but holds $file"
    fi
done
awk '$2 != "root/root"' "$work/contents.txt" | grep . && fail "files not owned by root"

echo "== lintian"
lintian -I "$deb" >"$work/lintian.txt" 2>&1
cat "$work/lintian.txt"
grep -q '^E:' "$work/lintian.txt" && fail "lintian reports errors"

# Unpacked into an empty root, the program runs from there: the data it reads is the root's,
# and what it writes goes under the user's data folder, never into the root.
root=$work/root
dpkg-deb -x "$deb" "$root"
find "$root" -printf '%P %s %T@\n' | sort >"$work/before.txt"
mkdir -p "$work/home"
echo "== quirebook demo (unpacked, HOME=$work/home)"
(cd "$work/home" && env -u XDG_DATA_HOME HOME="$work/home" TMPDIR="$work" \
    "$root/usr/bin/quirebook" demo) >"$work/demo.txt" 2>&1
status=$?
cat "$work/demo.txt"
books=$work/home/.local/share/quirebook/myBook
for book in kites.epub kite-journal.epub; do
    [ -s "$books/$book" ] || fail "the demo wrote no $book under $books"
done
if command -v java >/dev/null && [ -f /usr/share/java/epubcheck.jar ]; then
    [ "$status" -eq 0 ] || fail "the demo ended with status $status"
    [ "$(grep -c '^The book is valid\.$' "$work/demo.txt")" -eq 2 ] || fail "not both books valid"
else
    echo "skipped: validation of the demo books (Java or epubcheck is missing)"
fi
unzip -p "$books/kites.epub" OPS/content.opf 2>/dev/null | grep -q '<dc:title>Paper Kites' \
    || fail "the kites book has not the example's title"
find "$root" -printf '%P %s %T@\n' | sort | diff "$work/before.txt" - \
    || fail "the demo changed the unpacked root"

# The manual page holds every sub-command and the hand-written sections.
zcat "$root/usr/share/man/man1/quirebook.1.gz" >"$work/quirebook.1"
for text in '.SH EXAMPLES' '.SH FILES' '.SS "quirebook word-html [OPTIONS] page:"' \
    '.SS "quirebook repack [OPTIONS] workfolder book:"' '\-\-keep\-work' '\-\-embed\-font'; do
    grep -qF -- "$text" "$work/quirebook.1" || fail "the manual page lacks $text"
done

if has /usr/bin/quirebook-gui && command -v desktop-file-validate >/dev/null \
    && command -v appstreamcli >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/org.quirebook.Quirebook.desktop" \
        || fail "desktop-file-validate"
    appstreamcli validate --no-net "$root/usr/share/metainfo/org.quirebook.Quirebook.metainfo.xml" \
        || fail "appstreamcli validate"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "the package passed every check"
