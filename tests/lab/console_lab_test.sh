#!/bin/bash
# Lab test of hopwatch-console, native and under Wine; the checks live in console_lab_test.py.
exec python3 "$(dirname "$0")/console_lab_test.py"
