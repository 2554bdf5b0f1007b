#!/usr/bin/env bash
# Every malformed file of the shared corpus (bad/) ends, within 60 s, either with a message and
# exit status 1 or with a book epubcheck accepts: Word documents (.docx, .doc) through `word`, web
# pages through both `make` and `word-html`. Nothing crashes, nothing is written outside the work
# and output folders, and no file from outside the page's folder reaches a book. Skips (exit 77)
# when the corpus is missing. Usage: bad_documents.sh QUIREBOOK SOURCE-FOLDER
set -u
quirebook=$1
source "$2/bench/epubcheck_verdict.sh"
bad=$2/../shared/corpus/bad
if [ ! -d "$bad" ]; then echo "skipped: the corpus is missing"; exit 77; fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/tmp" "$scratch/cwd"
failures=0
runs=0

# The books made, judged once epubcheck has checked them all in one process: one line each,
# "BOOK<tab>COMMAND<tab>NAME<tab>SECONDS".
made=()
mkdir -p "$scratch/books"

# try COMMAND FILE: one run, judged by its exit status and its message; a book it makes is
# kept for judging at the end.
try() {
    local command=$1 document=$2 name=${2#"$bad"/} status seconds message start
    rm -rf "$scratch/work" "$scratch/out"
    start=$(date +%s)
    (cd "$scratch/cwd" && HOME=$scratch/home TMPDIR=$scratch/tmp XDG_DATA_HOME=$scratch/home \
        timeout 60 "$quirebook" "$command" "$document" -o "$scratch/out/book.epub" \
        --keep-work "$scratch/work" -q >"$scratch/stdout" 2>"$scratch/stderr")
    status=$?
    runs=$((runs + 1))
    seconds=$(( $(date +%s) - start ))
    message=$(head -c 200 "$scratch/stderr" | tr '\n' ' ')
    if [ $status -eq 0 ]; then
        local book=$scratch/books/$runs.epub
        if cp "$scratch/out/book.epub" "$book"; then
            made+=("$book"$'\t'"$command"$'\t'"$name"$'\t'"$seconds")
        else
            echo "FAIL $command $name: exit status 0 but no book"
            failures=$((failures + 1))
        fi
    elif [ $status -eq 1 ] && [ -n "$message" ]; then
        echo "ok   $command $name: refused (${seconds} s): $message"
    else
        echo "FAIL $command $name: exit status $status (${seconds} s) $message"
        failures=$((failures + 1))
    fi
}

while IFS= read -r document; do
    case ${document,,} in
        *.docx | *.doc) try word "$document" ;;
        *.html | *.htm) try make "$document"; try word-html "$document" ;;
    esac
done < <(find "$bad" -type f | sort)

books=()
for entry in "${made[@]}"; do books+=("${entry%%$'\t'*}"); done
check_books "${books[@]}"
for entry in "${made[@]}"; do
    IFS=$'\t' read -r book command name seconds <<<"$entry"
    errors=$(book_errors "$book.check")
    if [ "$errors" != 0 ]; then
        echo "FAIL $command $name: the book is not valid ($errors)"; grep -E '^(ERROR|FATAL)' "$book.check" | head -5
        failures=$((failures + 1))
    elif unzip -l "$book" | grep -qiE 'passwd|win\.ini|evil'; then
        echo "FAIL $command $name: a file from outside the page's folder is in the book"
        failures=$((failures + 1))
    else
        echo "ok   $command $name: a valid book (${seconds} s)"
    fi
done

# Nothing outside the work and output folders: not in the home, temporary or current folder,
# and none of the names the path-traversal document aims at.
leftovers=$(find "$scratch/home" "$scratch/tmp" "$scratch/cwd" -mindepth 1 2>/dev/null)
for target in /tmp/evil.png /tmp/evil-absolute.png /evil-backslash.png; do
    [ -e "$target" ] && leftovers+=" $target"
done
if [ -n "$leftovers" ]; then echo "FAIL written outside: $leftovers"; failures=$((failures + 1)); fi
if [ $runs -eq 0 ]; then echo "FAIL no malformed file was found in $bad"; exit 1; fi
[ $failures -eq 0 ] && echo "each of $runs runs on a malformed file was refused or made a valid book"
exit $(( failures > 0 ))
