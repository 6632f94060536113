#!/bin/bash
# Lab test of the timeline: a router drops forwarded probes from second 20 to 40 of a 60-s run; the
# console's report shows the loss there and then and one episode, the real window under Wine opens
# "Hopwatch Timeline" with Alt+T during its run and shows a lossy cell's figures under the mouse.
exec python3 "$(dirname "$0")/timeline_lab_test.py"
