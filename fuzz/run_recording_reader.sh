#!/bin/bash
# Fuzzes the recording reader: framing, records, the replay's rows.
exec "$(dirname "$0")/fuzz_target.sh" recording_reader_fuzz 20
