#!/bin/bash
# Lab test of the HTML report from hopwatch-console (native and under Wine): the table matches the
# run, the document passes an HTML 4.01 check and renders in a headless browser.
exec python3 "$(dirname "$0")/report_lab_test.py"
