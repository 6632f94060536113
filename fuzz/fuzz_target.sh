#!/bin/bash
# Runs one fuzz target from build/fuzz for a bounded time on a fresh corpus: fuzz_target.sh NAME
# [SECONDS] (FUZZ_SECONDS overrides). Non-zero on a crash or a broken invariant.
set -euo pipefail
cd "$(dirname "$0")/.."
name=$1
seconds=${FUZZ_SECONDS:-${2:-60}}
binary=build/fuzz/$name
if [[ ! -x $binary ]]; then
    echo "missing $binary: run scripts/build.sh fuzz first" >&2
    exit 1
fi
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$binary" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus"
