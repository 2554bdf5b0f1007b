#!/usr/bin/env bash
# Times quirebook and pandoc (-t epub2, when installed) on the same input in the same run
# (medians of RUNS runs, default 5), prints the ratio and epubcheck's error count for both
# books. The input is a web book folder (with order.txt: quirebook make) or a Word document
# (.docx: quirebook word, pandoc -f docx).
# Usage: bench/compare_pandoc.sh [BOOK-FOLDER | DOCUMENT.docx] (default: the Debian Reference of
# the shared corpus). Run ./run.sh --version first; QUIREBOOK picks another program, and
# QUIREBOOK_ARGS adds options to its command (e.g. "--jobs 1").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
input=$(realpath "${1:-$root/../shared/corpus/web/debian-reference}")
quirebook=${QUIREBOOK:-$root/build/bin/quirebook}
read -r -a extra <<<"${QUIREBOOK_ARGS:-}"
source "$root/bench/epubcheck_verdict.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ -d "$input" ]; then
    mapfile -t pages < <(tr -d '\r' < "$input/order.txt" | sed "s|^|$input/|")
    ourCommand=("$quirebook" make "${pages[@]}" -o "$out/q.epub" -q "${extra[@]}")
    theirCommand=(pandoc -t epub2 -o "$out/p.epub" "${pages[@]}")
    folder=$input
else
    ourCommand=("$quirebook" word "$input" -o "$out/q.epub" -q "${extra[@]}")
    theirCommand=(pandoc -f docx -t epub2 -o "$out/p.epub" "$input")
    folder=$(dirname "$input")
fi

# The median of RUNS runs (default 5) of a command: wall seconds and peak memory in MB (of the
# median run).
measure() {
    local runs=${RUNS:-5} r
    for ((r = 0; r < runs; r++)); do
        /usr/bin/time -f '%e %M' -o "$out/time.txt" "$@" >/dev/null 2>&1
        cat "$out/time.txt"
    done | sort -n | awk -v n="$runs" 'NR == int((n + 1) / 2) { printf "%s %.1f\n", $1, $2 / 1024 }'
}

# epubcheck's error count for a book.
errors() {
    check_book "$1" "$out/check.txt"
    book_errors "$out/check.txt"
}

read -r ours ourMemory < <(measure "${ourCommand[@]}")
printf 'quirebook: %s s, %s MB peak, %s epubcheck errors\n' "$ours" "$ourMemory" "$(errors "$out/q.epub")"
if command -v pandoc >/dev/null; then
    read -r theirs theirMemory < <(cd "$folder" && measure "${theirCommand[@]}")
    printf 'pandoc:    %s s, %s MB peak, %s epubcheck errors\n' "$theirs" "$theirMemory" \
        "$(errors "$out/p.epub")"
    printf 'quirebook is %.1f times faster\n' "$(awk "BEGIN { print $theirs / $ours }")"
else
    echo "pandoc is not installed: apt-get install pandoc to compare"
fi
