#!/usr/bin/env bash
# Installs what is missing, builds, then runs quirebook with the given arguments (relative paths
# are taken from the current folder); with none, makes the bundled example book into myBook/
# and validates it (quirebook demo).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/setup.sh" >&2
if [ $# -eq 0 ]; then
    set -- demo
fi
exec "$here/build/bin/quirebook" "$@"
