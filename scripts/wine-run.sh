#!/bin/sh
# Runs a Windows executable under Wine in the project's own prefix, quietly and without GUI prompts.
# HOPWATCH_WINEPREFIX (or WINEPREFIX) picks another prefix, e.g. one per network namespace.
WINEPREFIX="${HOPWATCH_WINEPREFIX:-${WINEPREFIX:-$HOME/.hopwatch-wine}}"
WINEDEBUG=-all
# No Mono/Gecko installer dialogs when a prefix is created.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
# Tests that create windows and read their drawing back need an X server: with
# HOPWATCH_WINE_XVFB=1 and no display, the program runs on a private Xvfb.
if [ "${HOPWATCH_WINE_XVFB:-}" = 1 ] && [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a wine "$@"
fi
exec wine "$@"
