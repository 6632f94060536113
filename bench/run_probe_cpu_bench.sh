#!/bin/bash
# Runs the probe CPU benchmark against the lab's 30-hop route (root only) and prints its figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${HOPWATCH_RELEASE_BUILD:-$root/build/native-release}/probe_cpu_bench
lab=$root/tests/lab/hoplab.sh
trap '"$lab" down' EXIT
"$lab" up long >/dev/null
eval "$("$lab" info)"
"$lab" exec "$bench" "$LAB_TARGET_ADDR" "${1:-10}" ${2:+"$2"}
