#!/bin/bash
# Fuzzes the version-resource scanner and parser, the string lookups and the formatter.
exec "$(dirname "$0")/fuzz_target.sh" version_info_fuzz 15
