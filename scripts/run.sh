#!/bin/bash
# Builds Hopwatch and starts it on the host given (none: type one into the window).
# With a display ($DISPLAY set) this is the window, hopwatch.exe under Wine; without one it says so
# and falls back to the console's live table (default host 127.0.0.1) until Ctrl+C.
# Raw ICMP needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [[ -n "${DISPLAY:-}" ]]; then
    scripts/build.sh windows
    exec scripts/wine-run.sh build/windows/hopwatch.exe "$@"
fi
echo "run: no display (\$DISPLAY is not set), showing the console's live view instead"
scripts/build.sh native-release
target="${1:-127.0.0.1}"
shift || true
exec build/native-release/hopwatch-console /live "$@" "$target"
