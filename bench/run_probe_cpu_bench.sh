#!/bin/bash
# Runs the probe CPU benchmark against the lab's 30-hop route (root only): [SECONDS [INTERVAL-MS]].
exec "$(dirname "$0")/lab_bench.sh" probe_cpu_bench "${1:-10}" ${2:+"$2"}
