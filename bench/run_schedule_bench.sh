#!/bin/bash
# Runs the probe schedule benchmark against the lab's 30-hop route (root only) and prints its figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${HOPWATCH_RELEASE_BUILD:-$root/build/native-release}/schedule_bench
lab=$root/tests/lab/hoplab.sh
trap '"$lab" down' EXIT
"$lab" up long >/dev/null
eval "$("$lab" info)"
"$lab" exec "$bench" "$LAB_TARGET_ADDR" "${1:-10}"
