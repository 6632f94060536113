#!/bin/bash
# Runs the long-run benchmark in the lab's "loss 100" route, whose hops past the second never
# answer (root only): [SECONDS].
HOPWATCH_BENCH_LAB="loss 100" exec "$(dirname "$0")/lab_bench.sh" long_run_bench "${1:-15}"
