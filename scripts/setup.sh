#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages the build needs (when they are
# missing), then configures and builds into build/ (Release with debug info, two jobs).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake pkg-config
    libpcre2-dev libcli11-dev libzip-dev libpugixml-dev libgumbo-dev
    epubcheck default-jre-headless unzip fonts-dejavu-core time
    # The corpus tests check their books in one Java process, a source file the JDK runs.
    openjdk-17-jdk-headless
    libgtest-dev libgmock-dev libbenchmark-dev
    help2man dpkg-dev lintian desktop-file-utils appstream bash-completion libxml2-utils
    qt6-base-dev qt6-webengine-dev xvfb xauth xdotool imagemagick
    # The narrow screen test renders the corpus books' chapters with headless Chromium.
    chromium
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}" >&2
    if [ "$(id -u)" -eq 0 ]; then
        sudo_cmd=()
    elif command -v sudo >/dev/null; then
        sudo_cmd=(sudo)
    else
        echo "Please install these packages as root: ${missing[*]}" >&2
        exit 1
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
