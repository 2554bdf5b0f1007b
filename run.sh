#!/usr/bin/env bash
# Installs what is missing, builds, then runs quirebook with the given arguments
# (with none: quirebook --help, until the bundled example book can be made).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh >&2
if [ $# -eq 0 ]; then
    set -- --help
fi
exec build/bin/quirebook "$@"
