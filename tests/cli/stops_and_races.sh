#!/usr/bin/env bash
# Runs that are stopped, fail half way or meet another run: Ctrl-C and SIGTERM remove the
# process's scratch and keep the earlier book (exit 130 and 143); a write over the file size limit
# fails with a message and keeps the earlier book; two runs writing one book leave one of the
# two complete books; a kept work folder that another process holds is refused.
# Usage: stops_and_races.sh QUIREBOOK
set -u
quirebook=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data HOME=$work/home TMPDIR=$work/tmp
mkdir -p "$work/tmp" "$work/pages" "$work/out"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A book large enough to take seconds: 300 chapters of about 100 KB.
paragraph="<p>$(printf 'A line of plain words for the book that takes its time. %.0s' {1..30})</p>"
for i in $(seq -w 1 300); do
    { echo "<html><head><title>Chapter $i</title></head><body><h1>Chapter $i</h1>"
      for _ in {1..60}; do echo "$paragraph"; done
      echo "</body></html>"; } >"$work/pages/c$i.html"
done
pages=("$work/pages"/c*.html)
"$quirebook" make "${pages[@]:0:2}" -o "$work/out/book.epub" -q || fail "the earlier book"
cp "$work/out/book.epub" "$work/earlier.epub"

# stop SIGNAL EXPECTED-STATUS: starts a run over the earlier book, sends the signal once the run's
# work area holds chapters, and checks what is left.
stop() {
    local signal=$1 expected=$2
    "$quirebook" make "${pages[@]}" -o "$work/out/book.epub" -q >"$work/stop.txt" 2>&1 &
    local pid=$!
    local waited=0
    until compgen -G "$work/tmp/quirebook-*/temp/OPS/*.html" >/dev/null; do
        if ! kill -0 $pid 2>/dev/null || [ $waited -gt 600 ]; then break; fi
        sleep 0.05; waited=$((waited + 1))
    done
    kill -s "$signal" $pid
    wait $pid
    local status=$?
    [ $status -eq "$expected" ] || fail "$signal: exit status $status, expected $expected"
    [ -z "$(ls -A "$work/tmp")" ] || fail "$signal: scratch left behind: $(ls -A "$work/tmp")"
    cmp -s "$work/out/book.epub" "$work/earlier.epub" || fail "$signal: the earlier book changed"
    [ "$(ls -A "$work/out")" = "book.epub" ] || fail "$signal: stray files: $(ls -A "$work/out")"
}
stop INT 130
stop TERM 143

# A write over the file size limit (in 1 KB blocks): a message, the earlier book kept.
(ulimit -f 50; "$quirebook" make "${pages[@]:0:20}" -o "$work/out/book.epub" -q) >"$work/limit.txt" 2>&1
status=$?
[ $status -eq 1 ] || fail "file size limit: exit status $status, expected 1"
grep -q "File too large" "$work/limit.txt" || fail "file size limit: no reason given: $(cat "$work/limit.txt")"
cmp -s "$work/out/book.epub" "$work/earlier.epub" || fail "file size limit: the earlier book changed"
[ "$(ls -A "$work/out")" = "book.epub" ] || fail "file size limit: stray files: $(ls -A "$work/out")"
[ -z "$(ls -A "$work/tmp")" ] || fail "file size limit: scratch left behind"

# Two runs writing one book at once: both succeed and the book is one of theirs, whole.
"$quirebook" make "${pages[@]:0:40}" --title First -o "$work/out/book.epub" -q &
first=$!
"$quirebook" make "${pages[@]:0:40}" --title Second -o "$work/out/book.epub" -q &
second=$!
wait $first || fail "the first of two concurrent runs failed"
wait $second || fail "the second of two concurrent runs failed"
title=$(unzip -p "$work/out/book.epub" OPS/content.opf | grep -o '<dc:title>[^<]*')
[ "$title" = "<dc:title>First" ] || [ "$title" = "<dc:title>Second" ] ||
    fail "concurrent runs: the book's title is \"$title\""
unzip -tq "$work/out/book.epub" >/dev/null || fail "concurrent runs: the book is not a whole archive"
[ "$(ls -A "$work/out")" = "book.epub" ] || fail "concurrent runs: stray files: $(ls -A "$work/out")"

# A kept work folder another process holds is refused; once free, it is used.
if command -v flock >/dev/null; then
    mkdir -p "$work/kept"
    exec 9<"$work/kept"
    flock -n 9 || fail "the test could not hold the work folder"
    "$quirebook" make "${pages[0]}" --keep-work "$work/kept" -o "$work/kept.epub" -q >"$work/held.txt" 2>&1
    status=$?
    [ $status -eq 1 ] || fail "a held work folder: exit status $status, expected 1"
    grep -q "in use by another running quirebook" "$work/held.txt" ||
        fail "a held work folder: $(cat "$work/held.txt")"
    flock -u 9
    exec 9<&-
    "$quirebook" make "${pages[0]}" --keep-work "$work/kept" -o "$work/kept.epub" -q ||
        fail "a work folder no longer held"
fi

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "stops, failures and concurrent runs leave whole books and no scratch"
