#!/usr/bin/env bash
# The window as a person uses it, on a real display: quirebook-gui opened on a copy of the
# example pages, F6 pressed, and the book it writes checked by epubcheck. Skipped (77) without
# xvfb-run, xdotool or epubcheck.
set -euo pipefail
if [ "${1:-}" = --on-display ]; then
    # Inside Xvfb: open the window on the pages, press F6, wait for the book.
    program=$2 pages=$3 book=$4
    "$program" "$pages"/*.html &
    pid=$!
    window=""
    for _ in $(seq 1 120); do
        window=$(xdotool search --onlyvisible --name '^Quirebook' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.5
    done
    [ -n "$window" ] || { echo "the window did not open"; kill "$pid"; exit 1; }
    xdotool windowfocus --sync "$window"
    xdotool key F6
    for _ in $(seq 1 240); do
        [ -s "$book" ] && break
        sleep 0.5
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    exit 0
fi
program=$1
examples=$2
for tool in xvfb-run xauth xdotool java; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
[ -f /usr/share/java/epubcheck.jar ] || { echo "epubcheck is not installed: skipped"; exit 77; }

work=$(mktemp -d)
pages="$work/f6-kites"
book="$(dirname "$program")/myBook/f6-kites.epub"
trap 'rm -rf "$work" "$book"' EXIT
cp -r "$examples/kites" "$pages"
rm -f "$book"

xvfb-run -a -s "-screen 0 1280x800x24" "$0" --on-display "$program" "$pages" "$book" \
    >"$work/window.log" 2>&1 || { cat "$work/window.log"; exit 1; }
[ -s "$book" ] || { echo "F6 wrote no book"; tail -20 "$work/window.log"; exit 1; }
java -jar /usr/share/java/epubcheck.jar "$book"
