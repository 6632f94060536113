#!/bin/bash
# Runs the reply-processing fuzz target for a bounded time from build/fuzz; non-zero on a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=build/fuzz/process_reply_fuzz
seconds=${FUZZ_SECONDS:-60}
if [[ ! -x $binary ]]; then
    echo "missing $binary: run scripts/build.sh fuzz first" >&2
    exit 1
fi
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$binary" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus"
