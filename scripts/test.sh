#!/bin/bash
# Checks the layering of the includes, then builds every flavour and runs every test: native unit
# tests (ASan/UBSan), ThreadSanitizer tests, the Windows tests under Wine, the fuzz targets for a
# bounded time and the network lab tests.
# Prints one line per suite and a closing "N passed, M failed" line; exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh || exit 1

passed=0
failed=0
failures=()

suite() {
    local name=$1
    shift
    local start=$SECONDS
    echo "=== $name"
    if "$@"; then
        passed=$((passed + 1))
        echo "=== $name: ok ($((SECONDS - start)) s)"
    else
        failed=$((failed + 1))
        failures+=("$name")
        echo "=== $name: FAILED ($((SECONDS - start)) s)"
    fi
}

ctest_preset() {
    local preset=$1
    shift
    ctest --preset "$preset" --timeout 900 "$@"
}

export HOPWATCH_ROOT=$root
export HOPWATCH_NATIVE_BUILD=$root/build/native
export HOPWATCH_TSAN_BUILD=$root/build/native-tsan
export HOPWATCH_WINDOWS_BUILD=$root/build/windows

layering() {
    python3 scripts/check_layering.py --self-test && python3 scripts/check_layering.py
}

# First, so that an include across the layers is reported before anything is built.
suite "layering" layering
suite "native build" scripts/build.sh native
suite "native unit tests" ctest_preset native
suite "tsan build" scripts/build.sh native-tsan
suite "tsan unit tests" ctest_preset native-tsan
suite "windows build" scripts/build.sh windows
suite "windows unit tests (wine)" ctest_preset windows
if [[ -f cmake/HopwatchFuzz.cmake ]]; then
    suite "fuzz build" scripts/build.sh fuzz
    for f in fuzz/run_*.sh; do
        [[ -e $f ]] && suite "fuzz $(basename "$f" .sh)" "$f"
    done
fi
if [[ -f cmake/HopwatchBench.cmake ]]; then
    suite "benchmark build" scripts/build.sh native-release
fi

# Benchmarks print figures; they fail only when they cannot run at all.
if [[ -x build/native-release/refresh_bench ]]; then
    suite "benchmark: results list refresh" build/native-release/refresh_bench
fi
if [[ -x build/native-release/recording_bench ]]; then
    suite "benchmark: recording (bytes and writer CPU per probe, memory of a 24-hour run)" \
        build/native-release/recording_bench
fi
if [[ -x build/native-release/timeline_bench ]]; then
    suite "benchmark: timeline of a 24-hour run over 30 hops" build/native-release/timeline_bench
fi
if [[ -x build/windows/timeline_draw_bench.exe ]]; then
    suite "benchmark: timeline window of a 24-hour run (wine)" \
        env HOPWATCH_WINE_XVFB=1 scripts/wine-run.sh build/windows/timeline_draw_bench.exe
fi
if [[ -x build/windows/gui_refresh_bench.exe ]]; then
    suite "benchmark: refresh through the real list (wine)" \
        env HOPWATCH_WINE_XVFB=1 scripts/wine-run.sh build/windows/gui_refresh_bench.exe
fi

# The Debian package of hopwatch-console: built, installed, run as a normal user, removed.
if [[ $(id -u) -eq 0 ]]; then
    suite "package: hopwatch-console .deb" bash tests/package/deb_test.sh
fi

# Network lab tests and lab benchmarks need root (network namespaces, raw sockets). There is one
# lab per machine: the whole lab part holds the session lock, so two runs never share it.
if [[ $(id -u) -eq 0 ]]; then
    exec 9>/run/hopwatch-lab-session.lock
    flock 9
    for t in tests/lab/*_test.sh; do
        [[ -e $t ]] && suite "lab $(basename "$t" .sh)" bash "$t"
    done
    if [[ -x build/native-release/schedule_bench ]]; then
        suite "benchmark: probe schedule (lab, 30 hops)" bench/run_schedule_bench.sh 10
    fi
    if [[ -x build/windows/hopwatch.exe ]]; then
        suite "benchmark: window CPU beside the console (lab, 30 hops)" bench/run_gui_cpu_bench.sh 60
    fi
    flock -u 9
    exec 9>&-
else
    echo "=== lab tests skipped: not root"
fi
if [[ $(id -u) -eq 0 && -x build/native-release/probe_cpu_bench ]]; then
    suite "benchmark: CPU per probe against ping (lab, 30 hops)" bench/run_probe_cpu_bench.sh 10
fi

echo
for f in "${failures[@]}"; do echo "failed suite: $f"; done
echo "suites: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
