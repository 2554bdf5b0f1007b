#!/usr/bin/env bash
# Makes every corpus web book, Word page and Word document with two quirebook programs (a fixed
# --id, the same work and output paths) and compares the books file by file (unzipped, diff -r)
# and what each program printed. Prints one line per input that differs and a closing count;
# exits 1 when any book or message differs. Usage: bench/compare_books.sh BEFORE AFTER [CORPUS]
# (BEFORE and AFTER: quirebook programs with their data beside them, maybe the same one). Extra
# arguments for BEFORE in BEFORE_ARGS, for AFTER in AFTER_ARGS (e.g. BEFORE_ARGS="--jobs 1"
# AFTER_ARGS="--jobs 4"); PARTS chooses the corpus folders (default "web wordhtml docx").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
before=$(realpath "$1")
after=$(realpath "$2")
corpus=$(realpath "${3:-$root/../shared/corpus}")
read -r -a beforeArgs <<<"${BEFORE_ARGS:-}"
read -r -a afterArgs <<<"${AFTER_ARGS:-}"
read -r -a parts <<<"${PARTS:-web wordhtml docx}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Makes one book with program $1 into $out/$2 (book unzipped in $2/book, printed text in
# $2/printed); the remaining arguments are the sub-command, its inputs and options.
make_book() {
    local program=$1 side=$2
    shift 2
    rm -rf "$out/work" "$out/book.epub" "$out/$side"
    mkdir -p "$out/$side/book"
    "$program" "$@" -o "$out/book.epub" --id urn:quirebook:compare --keep-work "$out/work" \
        >"$out/$side/printed" 2>&1 || echo "exit $?" >>"$out/$side/printed"
    if [ -f "$out/book.epub" ]; then unzip -q "$out/book.epub" -d "$out/$side/book"; fi
}

same=0
differ=0
compare() {
    local label=$1
    shift
    make_book "$before" before "$@" "${beforeArgs[@]}"
    make_book "$after" after "$@" "${afterArgs[@]}"
    if diff -r "$out/before" "$out/after" >"$out/diff.txt"; then
        same=$((same + 1))
    else
        differ=$((differ + 1))
        printf 'DIFFERS %s\n' "$label"
        head -n 20 "$out/diff.txt"
    fi
}

for part in "${parts[@]}"; do
    case $part in
        web*)
            for book in "$corpus/$part"/*/; do
                [ -f "$book/order.txt" ] || continue
                mapfile -t pages < <(tr -d '\r' <"$book/order.txt" | sed "s|^|$book|")
                compare "web/$(basename "$book")" make "${pages[@]}"
            done ;;
        wordhtml*)
            # One page per wordhtml/SET/ID/ folder, its pictures beside it.
            for folder in "$corpus"/wordhtml/*/*/; do
                [[ $folder == "$corpus/$part"/* ]] || continue
                page=$(find "$folder" -maxdepth 1 -type f \( -name '*.htm' -o -name '*.html' \) |
                    sort | head -n 1)
                [ -n "$page" ] || continue
                compare "${page#"$corpus"/}" word-html "$page"
            done ;;
        docx*)
            while IFS= read -r -d '' document; do
                compare "${document#"$corpus"/}" word "$document"
            done < <(find "$corpus/$part" -type f -name '*.docx' -print0 | sort -z) ;;
    esac
done

printf '%d inputs give the same book and messages, %d differ\n' "$same" "$differ"
[ "$differ" -eq 0 ]
