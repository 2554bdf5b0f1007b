#!/usr/bin/env bash
# Times quirebook and pandoc (-t epub2, when installed) on the same web book in the same run and
# prints the ratio. Usage: bench/compare_pandoc.sh [BOOK-FOLDER-WITH-order.txt] (default: the
# Debian Reference of the shared corpus). Run ./run.sh --version first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
book=${1:-$root/../shared/corpus/web/debian-reference}
quirebook=$root/build/bin/quirebook
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mapfile -t pages < <(tr -d '\r' < "$book/order.txt" | sed "s|^|$book/|")

# The best of three runs of a command: wall seconds and peak memory in MB.
measure() {
    local best="" memory=""
    for _ in 1 2 3; do
        /usr/bin/time -f '%e %M' -o "$out/time.txt" "$@" >/dev/null 2>&1
        read -r wall kilobytes < "$out/time.txt"
        if [ -z "$best" ] || awk "BEGIN { exit !($wall < $best) }"; then
            best=$wall; memory=$(awk "BEGIN { print $kilobytes / 1024 }")
        fi
    done
    printf '%s %.1f\n' "$best" "$memory"
}

read -r ours ourMemory < <(measure "$quirebook" make "${pages[@]}" -o "$out/q.epub" -q)
printf 'quirebook: %s s, %s MB peak\n' "$ours" "$ourMemory"
if command -v pandoc >/dev/null; then
    read -r theirs theirMemory < <(cd "$book" && measure pandoc -t epub2 -o "$out/p.epub" "${pages[@]}")
    printf 'pandoc:    %s s, %s MB peak\n' "$theirs" "$theirMemory"
    printf 'quirebook is %.1f times faster\n' "$(awk "BEGIN { print $theirs / $ours }")"
else
    echo "pandoc is not installed: apt-get install pandoc to compare"
fi
