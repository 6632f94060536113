#!/bin/bash
# Runs the version-resource fuzz target for a bounded time from build/fuzz; non-zero on a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=build/fuzz/version_info_fuzz
seconds=${FUZZ_SECONDS:-25}
if [[ ! -x $binary ]]; then
    echo "missing $binary: run scripts/build.sh fuzz first" >&2
    exit 1
fi
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$binary" -max_total_time="$seconds" -max_len=70000 -rss_limit_mb=1024 -print_final_stats=1 \
    "$corpus"
