#!/bin/bash
# Lab test of the desktop program under Wine: command line, registry settings, help and error boxes.
exec python3 "$(dirname "$0")/app_settings_lab_test.py"
