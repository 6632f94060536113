#!/bin/bash
# Fuzzes reply processing against a run in progress, checking the data model's invariants.
exec "$(dirname "$0")/fuzz_target.sh" process_reply_fuzz 30
