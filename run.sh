#!/usr/bin/env bash
# Installs what is missing, builds, then runs quirebook with the given arguments (relative paths
# are taken from the current folder); with none, makes the bundled example book into myBook/
# and validates it (quirebook demo). "./run.sh gui [FILE...]" opens the desktop window instead.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/setup.sh" >&2
if [ "${1:-}" = gui ]; then
    shift
    exec "$here/build/bin/quirebook-gui" "$@"
fi
if [ $# -eq 0 ]; then
    set -- demo
fi
exec "$here/build/bin/quirebook" "$@"
