#!/bin/bash
# End to end: Export from the running hopwatch.exe under Wine on Xvfb in the lab writes the report
# into Wine's TEMP and hands it to the browser; after Stop it says "Test stopped".
exec python3 "$(dirname "$0")/report_gui_lab_test.py"
