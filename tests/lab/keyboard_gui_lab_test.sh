#!/bin/bash
# End to end: the real hopwatch.exe under Wine on Xvfb in the lab, by keys only: every road to a
# run (typed, command line, double-click restart) ends with Alt+S, Stopped and Escape, exit code 0;
# the restart's address is on the bar at once; a screenshot at 200 %.
exec python3 "$(dirname "$0")/keyboard_gui_lab_test.py"
