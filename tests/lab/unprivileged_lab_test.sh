#!/bin/bash
# Lab test of probing without rights (ICMP datagram sockets as nobody, the ICMP service under Wine);
# the checks live in unprivileged_lab_test.py.
exec python3 "$(dirname "$0")/unprivileged_lab_test.py"
