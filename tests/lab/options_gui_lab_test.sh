#!/bin/bash
# End to end: the options sheet from Alt+O in the running hopwatch.exe under Wine on Xvfb in the lab
# refuses an interval of 0 and stores 250; double-clicking a hop asks and restarts the test on it.
exec python3 "$(dirname "$0")/options_gui_lab_test.py"
