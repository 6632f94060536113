#!/bin/bash
# Runs a benchmark of build/native-release inside the lab's 30-hop route (root only):
# lab_bench.sh NAME [ARGS...] runs NAME TARGET-ADDRESS ARGS... in the client namespace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${HOPWATCH_RELEASE_BUILD:-$root/build/native-release}/$1
shift
lab=$root/tests/lab/hoplab.sh
trap '"$lab" down' EXIT
"$lab" up long >/dev/null
eval "$("$lab" info)"
"$lab" exec "$bench" "$LAB_TARGET_ADDR" "$@"
