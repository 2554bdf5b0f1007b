#!/usr/bin/env bash
# Times quirebook on a small and a ten times larger book made of the same kind of pages: 20 and
# 200 chapters of about 100 KB each (2 MB and 20 MB), cut from the Debian Reference pages of
# the shared corpus with their pictures beside them. Prints the median wall time and peak
# memory of RUNS runs (default 5) for each and their ratio; a linear program stays near 10.
# Usage: bench/scaling.sh [QUIREBOOK-ARGS...] (e.g. --jobs 1); QUIREBOOK picks the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source_book=$(realpath "$root/../shared/corpus/web/debian-reference")
quirebook=${QUIREBOOK:-$root/build/bin/quirebook}
runs=${RUNS:-5}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mapfile -t sources < <(tr -d '\r' <"$source_book/order.txt")

# A book of $1 chapters in $out/book-$1: each the first 100 KB (whole lines) of a source page.
make_pages() {
    local folder=$out/book-$1 k
    mkdir -p "$folder"
    cp -r "$source_book/images" "$source_book/debian-reference.css" "$folder/"
    for ((k = 0; k < $1; k++)); do
        { head -c 100000 "$source_book/${sources[k % ${#sources[@]}]}" | sed '$d'
          printf '</div></body></html>\n'; } >"$folder/$(printf 'ch%03d.html' "$k")"
    done
}

# The median wall seconds and peak MB of $runs makes of the book of $1 chapters.
measure() {
    local folder=$out/book-$1 r
    for ((r = 0; r < runs; r++)); do
        /usr/bin/time -f '%e %M' -o "$out/time.txt" "$quirebook" make "$folder"/ch*.html \
            -o "$out/book.epub" -q "${@:2}" >/dev/null 2>&1
        cat "$out/time.txt"
    done | sort -n | awk -v n="$runs" 'NR == int((n + 1) / 2) { printf "%s %.1f\n", $1, $2 / 1024 }'
}

make_pages 20
make_pages 200
read -r small smallMemory < <(measure 20 "$@")
read -r large largeMemory < <(measure 200 "$@")
printf '20 chapters (%s): %s s, %s MB\n' "$(du -sh --exclude=images "$out/book-20" | cut -f1)" \
    "$small" "$smallMemory"
printf '200 chapters (%s): %s s, %s MB\n' "$(du -sh --exclude=images "$out/book-200" | cut -f1)" \
    "$large" "$largeMemory"
printf 'the larger book takes %.1f times as long\n' "$(awk "BEGIN { print $large / $small }")"
