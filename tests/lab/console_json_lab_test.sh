#!/bin/bash
# Lab test of hopwatch-console for scripts: -c on the lossy route, "replies limited", JSON; checks in console_json_lab_test.py.
exec python3 "$(dirname "$0")/console_json_lab_test.py"
