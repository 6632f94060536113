#!/bin/bash
# Configures and builds one or more presets (native, native-tsan, native-release, fuzz, windows).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in "$@"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
done
