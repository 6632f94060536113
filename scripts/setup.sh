#!/bin/bash
# Installs every Debian package that building and testing Hopwatch needs; does nothing when all are there.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ gcc clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth xdotool imagemagick x11-utils
    nftables iproute2 traceroute iputils-ping procps clang-format python3
    tidy chromium util-linux xdotool imagemagick x11-utils
    python3-jsonschema dpkg-dev libcap2-bin man-db gzip
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
        echo "setup: run as root to install packages" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
