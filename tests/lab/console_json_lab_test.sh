#!/bin/bash
# Lab test of hopwatch-console for scripts (JSON, count, replies limited); checks in console_json_lab_test.py.
exec python3 "$(dirname "$0")/console_json_lab_test.py"
