#!/bin/bash
# Runs the probe schedule benchmark against the lab's 30-hop route (root only): [SECONDS].
exec "$(dirname "$0")/lab_bench.sh" schedule_bench "${1:-10}"
