#!/bin/bash
# Builds Hopwatch and starts it on the host given (the loopback address when none is given).
# Until the window exists this is the console front-end, redrawing its table live until Ctrl+C;
# raw ICMP needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh native-release
target="${1:-127.0.0.1}"
shift || true
exec build/native-release/hopwatch-console /live "$@" "$target"
