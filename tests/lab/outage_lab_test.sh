#!/bin/bash
# End to end: the client's route removed for 5 s in the middle of a 20-s console run (native and
# under Wine) and put back; the run goes on, the outage's probes count lost with the system's reason.
exec python3 "$(dirname "$0")/outage_lab_test.py"
