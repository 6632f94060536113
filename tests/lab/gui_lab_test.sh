#!/bin/bash
# Lab test of the window: the real hopwatch.exe under Wine on a private Xvfb; checks in gui_lab_test.py.
exec python3 "$(dirname "$0")/gui_lab_test.py"
