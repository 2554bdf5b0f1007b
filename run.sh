#!/usr/bin/env bash
# Installs what is missing, builds, then runs quirebook with the given arguments; with none, makes
# the bundled example book into myBook/ and validates it (quirebook demo).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh >&2
if [ $# -eq 0 ]; then
    set -- demo
fi
exec build/bin/quirebook "$@"
