#!/bin/bash
# Lab test of the window's recordings under Wine; the checks live in recording_gui_lab_test.py.
exec python3 "$(dirname "$0")/recording_gui_lab_test.py"
