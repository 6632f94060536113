#!/bin/bash
# End to end: with a name server that never answers and look-ups on, Escape ends the running
# hopwatch.exe under Wine within 2 s and a double-click restart answers at once.
exec python3 "$(dirname "$0")/lookup_stop_gui_lab_test.py"
