#!/bin/sh
# Runs a Windows executable under Wine in the project's own prefix, quietly and without GUI prompts.
# HOPWATCH_WINEPREFIX (or WINEPREFIX) picks another prefix, e.g. one per network namespace.
WINEPREFIX="${HOPWATCH_WINEPREFIX:-${WINEPREFIX:-$HOME/.hopwatch-wine}}"
WINEDEBUG=-all
# No Mono/Gecko installer dialogs when a prefix is created.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec wine "$@"
