#!/bin/bash
# Runs a benchmark of build/native-release inside the lab (root only), on the 30-hop route unless
# HOPWATCH_BENCH_LAB names another scenario ("loss 100"): lab_bench.sh NAME [ARGS...] runs
# NAME TARGET-ADDRESS ARGS... in the client namespace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${HOPWATCH_RELEASE_BUILD:-$root/build/native-release}/$1
shift
lab=$root/tests/lab/hoplab.sh
trap '"$lab" down' EXIT
# shellcheck disable=SC2086 # the scenario and its argument are two words
"$lab" up ${HOPWATCH_BENCH_LAB:-long} >/dev/null
eval "$("$lab" info)"
"$lab" exec "$bench" "$LAB_TARGET_ADDR" "$@"
