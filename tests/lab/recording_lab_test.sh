#!/bin/bash
# Lab test of run recordings (console, native and under Wine); the checks live in
# recording_lab_test.py.
exec python3 "$(dirname "$0")/recording_lab_test.py"
