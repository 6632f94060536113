#!/bin/bash
# Fuzzes the ICMP reply parser and the echo request builder.
exec "$(dirname "$0")/fuzz_target.sh" icmp_parse_fuzz 20
