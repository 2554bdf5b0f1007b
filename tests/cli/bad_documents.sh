#!/usr/bin/env bash
# Every malformed Word document of the shared corpus (bad/, .docx and .doc) ends, within 60 s,
# either with a message and exit status 1 or with a book epubcheck accepts; nothing crashes, and
# nothing is written outside the work and output folders. Skips when the corpus is missing.
# Usage: bad_documents.sh QUIREBOOK SOURCE-FOLDER
set -u
quirebook=$1
bad=$2/../shared/corpus/bad
if [ ! -d "$bad" ]; then echo "skipped: the corpus is missing"; exit 0; fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/tmp" "$scratch/cwd"
failures=0
while IFS= read -r document; do
    name=${document#"$bad"/}
    rm -rf "$scratch/work" "$scratch/out"
    start=$(date +%s)
    (cd "$scratch/cwd" && HOME=$scratch/home TMPDIR=$scratch/tmp XDG_DATA_HOME=$scratch/home \
        timeout 60 "$quirebook" word "$document" -o "$scratch/out/book.epub" \
        --keep-work "$scratch/work" -q >"$scratch/stdout" 2>"$scratch/stderr")
    status=$?
    seconds=$(( $(date +%s) - start ))
    message=$(head -c 200 "$scratch/stderr" | tr '\n' ' ')
    if [ $status -eq 0 ]; then
        if java -jar /usr/share/java/epubcheck.jar "$scratch/out/book.epub" >"$scratch/check" 2>&1; then
            echo "ok   $name: a valid book (${seconds} s)"
        else
            echo "FAIL $name: the book is not valid"; grep '^ERROR' "$scratch/check" | head -5
            failures=$((failures + 1))
        fi
    elif [ $status -eq 1 ] && [ -n "$message" ]; then
        echo "ok   $name: refused (${seconds} s): $message"
    else
        echo "FAIL $name: exit status $status (${seconds} s) $message"
        failures=$((failures + 1))
    fi
done < <(find "$bad" -type f \( -iname '*.docx' -o -iname '*.doc' \) | sort)

# Nothing outside the work and output folders: not in the home, temporary or current folder,
# and none of the names the path-traversal document aims at.
leftovers=$(find "$scratch/home" "$scratch/tmp" "$scratch/cwd" -mindepth 1 2>/dev/null)
for target in /tmp/evil.png /tmp/evil-absolute.png /evil-backslash.png; do
    [ -e "$target" ] && leftovers+=" $target"
done
if [ -n "$leftovers" ]; then echo "FAIL written outside: $leftovers"; failures=$((failures + 1)); fi
[ $failures -eq 0 ] && echo "every malformed document was refused or made into a valid book"
exit $(( failures > 0 ))
