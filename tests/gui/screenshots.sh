#!/usr/bin/env bash
# Runs the screenshot program under Xvfb; skipped (77) where Xvfb is not installed.
set -euo pipefail
program=$1
folder=$2
if ! command -v xvfb-run >/dev/null || ! command -v xauth >/dev/null; then
    echo "xvfb-run or xauth is not installed: skipped"
    exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$folder"
