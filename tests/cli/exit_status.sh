#!/usr/bin/env bash
# Every sub-command keeps the exit status convention: 0 for --help, --version and success, 2 for
# a usage error, 1 for every failure (a book that could not be made or is not valid).
# Usage: exit_status.sh QUIREBOOK EXAMPLE-FOLDER
set -u
quirebook=$1
example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data HOME=$work/home
failures=0
checks=0

expect() {  # expect STATUS DESCRIPTION COMMAND...
    local expected=$1 description=$2
    shift 2
    "$@" >"$work/out.txt" 2>&1
    local status=$?
    checks=$((checks + 1))
    if [ $status -ne "$expected" ]; then
        echo "FAIL: $description: exit status $status, expected $expected"; head -5 "$work/out.txt"
        failures=$((failures + 1))
    fi
}

expect 0 "--version" "$quirebook" --version
expect 0 "--help" "$quirebook" --help
expect 2 "no sub-command" "$quirebook"
for command in make word word-html validate repack demo; do
    expect 0 "$command --help" "$quirebook" "$command" --help
    expect 2 "$command with an unknown option" "$quirebook" "$command" --no-such-option
done
for command in make word word-html validate repack; do
    expect 2 "$command without its arguments" "$quirebook" "$command"
done
expect 2 "make with a page that does not exist" "$quirebook" make "$work/none.html"
expect 2 "word with two documents" "$quirebook" word "$example/welcome.html" "$example/welcome.html"
for version in 1 4 three; do
    expect 2 "make --epub-version $version" "$quirebook" make "$example/welcome.html" \
        --epub-version "$version" -o "$work/version.epub"
done
expect 2 "word-html --option EpubVersion=4" "$quirebook" word-html "$example/welcome.html" \
    --option EpubVersion=4 -o "$work/version.epub"

# Failures: exit status 1 with the reason.
printf 'not a zip' >"$work/broken.epub"
if command -v java >/dev/null && [ -f /usr/share/java/epubcheck.jar ]; then
    expect 1 "validate on a file that is not a book" "$quirebook" validate "$work/broken.epub"
    expect 1 "validate on a book that does not exist" "$quirebook" validate "$work/none.epub"
    mkdir -p "$work/invalid"
    printf '<html><head><title>x</title></head><body><p>a<custom-tag>b</custom-tag></p></body></html>' \
        >"$work/invalid/a.html"
    expect 1 "make --validate on a book epubcheck refuses" "$quirebook" make "$work/invalid/a.html" \
        --option PassEpubCheck=false -o "$work/invalid.epub" --validate -q
    expect 0 "make --validate on a valid book" "$quirebook" make "$example/welcome.html" \
        -o "$work/valid.epub" --validate -q
    expect 0 "make --epub-version 3 --validate on a valid book" "$quirebook" make \
        "$example/welcome.html" -o "$work/valid3.epub" --epub-version 3 --validate -q
    expect 0 "demo" "$quirebook" demo -q
else
    echo "skipped: the validation checks (Java or epubcheck is missing)"
fi
mkdir -p "$work/not-a-work-folder"
expect 1 "repack on a folder that is not a work folder" "$quirebook" repack \
    "$work/not-a-work-folder" "$work/repacked.epub"
expect 1 "word on a file that is not a Word document" "$quirebook" word "$work/broken.epub" \
    -o "$work/word.epub"
# A copy of the program without its examples says so, in a sentence of its own.
mkdir -p "$work/bare"
cp "$quirebook" "$work/bare/"
expect 1 "demo without the examples folder" "$work/bare/$(basename "$quirebook")" demo -q
grep -q "^No example book found in" "$work/out.txt" ||
    { echo "FAIL: demo without examples: $(cat "$work/out.txt")"; failures=$((failures + 1)); }

if [ $failures -ne 0 ]; then echo "$failures of $checks exit status checks failed"; exit 1; fi
echo "all $checks exit status checks passed"
