#!/usr/bin/env bash
# Runs the host-resolution lab cases (multi-address names, local address, reverse lookup) in the lab's client namespace, natively and under Wine.
# No errexit: each run records its own failure and the script carries on to the summary.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
LAB="$ROOT/tests/lab/hoplab.sh"
NATIVE_BUILD="${HOPWATCH_NATIVE_BUILD:-$ROOT/build/native}"
WINDOWS_BUILD="${HOPWATCH_WINDOWS_BUILD:-$ROOT/build/windows}"
# A prefix of its own: its wine server then starts inside the lab namespace and sees the lab's
# interfaces and hosts file, not those of a server already running outside.
WINE_PREFIX="${HOPWATCH_LAB_WINEPREFIX:-/tmp/hopwatch-wine-lab-resolver}"
FILTER='*Lab*'
PASSED=0
FAILED=0

if [[ $EUID -ne 0 ]]; then
    echo "resolver_lab_test.sh: needs root (network namespaces)" >&2
    exit 2
fi

pass() { PASSED=$((PASSED + 1)); echo "ok - $*"; }
fail() { FAILED=$((FAILED + 1)); echo "not ok - $*"; }

finish() {
    # Only the wine server of our own prefix is ended; it would otherwise keep the namespace busy.
    if [[ -d $WINE_PREFIX ]]; then
        ip netns exec "${LAB_CLIENT_NS:-hwc}" env WINEPREFIX="$WINE_PREFIX" wineserver -k \
            >/dev/null 2>&1 || true
    fi
    "$LAB" down >/dev/null 2>&1 || true
}
trap finish EXIT

# Runs a gtest executable inside the client namespace with the lab's values in its environment
# and counts it as one result. A run that ran no lab case (all skipped or filtered away) fails.
run_lab_cases() {
    local what=$1 output rc
    shift
    output=$(timeout 300 ip netns exec "$LAB_CLIENT_NS" env HOPWATCH_LAB=1 \
        HOPWATCH_LAB_CLIENT_ADDR="$LAB_CLIENT_ADDR" \
        HOPWATCH_LAB_TARGET_ADDR="$LAB_TARGET_ADDR" \
        HOPWATCH_LAB_TARGET_NAME="$LAB_TARGET_NAME" \
        "$@" --gtest_filter="$FILTER" 2>&1)
    rc=$?
    if [[ $rc -eq 0 ]] && grep -q '^\[  PASSED  \] [1-9]' <<<"$output" &&
        ! grep -q 'SKIPPED' <<<"$output"; then
        pass "$what"
    else
        fail "$what (exit $rc)"
        sed 's/^/    /' <<<"$output" | tail -40
    fi
}

if ! "$LAB" up chain 6 >/dev/null; then
    fail "lab up chain 6"
    echo "$PASSED passed, $FAILED failed"
    exit 1
fi
# shellcheck disable=SC1090
source <("$LAB" info)

if [[ -x $NATIVE_BUILD/engine_tests ]]; then
    run_lab_cases "native: resolution in the client namespace" "$NATIVE_BUILD/engine_tests"
else
    fail "native: $NATIVE_BUILD/engine_tests is not built"
fi

if [[ -f $WINDOWS_BUILD/engine_tests.exe ]]; then
    run_lab_cases "wine: resolution in the client namespace" \
        env HOPWATCH_WINEPREFIX="$WINE_PREFIX" "$ROOT/scripts/wine-run.sh" \
        "$WINDOWS_BUILD/engine_tests.exe"
else
    fail "wine: $WINDOWS_BUILD/engine_tests.exe is not built"
fi

echo "$PASSED passed, $FAILED failed"
[[ $FAILED -eq 0 ]]
