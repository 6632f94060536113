#!/bin/bash
# Lab test of the options sheet and the double-click restart in the real window, under Wine + Xvfb.
# One lab per machine: the whole run holds the lab session lock.
exec flock /run/hopwatch-lab-session.lock python3 "$(dirname "$0")/options_gui_lab_test.py"
