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

# ThreadSanitizer looks at the layers whose code runs on more than one thread, and the console
# that the lab runs; the single-threaded layers' tests gain nothing from it.
tsan_layers="engine|foundation|recording|timeline|console"
tsan_build() {
    cmake --preset native-tsan >/dev/null &&
        cmake --build --preset native-tsan -j "$(nproc)" --target hopwatch-console \
            $(echo "$tsan_layers" | tr '|' '\n' | sed 's/$/_tests/')
}

# The lab part: network lab tests, one after another under the session lock (one lab per machine).
# They mostly wait on the network and on timers, so the script runs them in the background beside
# the CPU-bound work (sanitizer and fuzz builds, fuzzing, unit tests), which runs at the lowest
# priority so that the lab's timing sees an idle machine. Writes its lines to $lab_log and one line
# per failed suite to $lab_failures. The console's lab test also runs the ThreadSanitizer build: it
# goes last and waits until that build has ended ($tsan_done).
lab_part() {
    passed=0
    failed=0
    failures=()
    exec 9>/run/hopwatch-lab-session.lock
    flock 9
    local tests=() t
    for t in tests/lab/*_test.sh; do
        [[ -e $t && $t != */console_lab_test.sh ]] && tests+=("$t")
    done
    for t in "${tests[@]}"; do
        suite "lab $(basename "$t" .sh)" bash "$t"
    done
    if [[ -e tests/lab/console_lab_test.sh ]]; then
        local waited=0
        while [[ ! -e $tsan_done && $waited -lt 3600 ]]; do
            sleep 5
            waited=$((waited + 5))
        done
        suite "lab console_lab_test" bash tests/lab/console_lab_test.sh
    fi
    flock -u 9
    for t in "${failures[@]}"; do echo "$t" >>"$lab_failures"; done
    echo "$passed" >"$lab_passed"
}

# Runs a command or a function of this script at the lowest CPU priority (see lab_part), in a
# subshell whose children inherit its priority.
low() {
    (
        renice -n 19 -p "$BASHPID" >/dev/null
        "$@"
    )
}

# First, so that an include across the layers is reported before anything is built.
suite "layering" layering
suite "native build" scripts/build.sh native
suite "windows build" scripts/build.sh windows

lab_dir=$(mktemp -d)
lab_log=$lab_dir/log
lab_failures=$lab_dir/failures
lab_passed=$lab_dir/passed
tsan_done=$lab_dir/tsan-done
touch "$lab_failures"
lab_pid=""
if [[ $(id -u) -eq 0 ]]; then
    echo "=== lab tests: running in the background (their output follows when they are done)"
    lab_part >"$lab_log" 2>&1 &
    lab_pid=$!
else
    echo "=== lab tests skipped: not root"
fi

suite "tsan build" low tsan_build
touch "$tsan_done"
suite "native unit tests" low ctest_preset native
suite "tsan unit tests" low ctest_preset native-tsan -R "^($tsan_layers)_tests\$"
suite "windows unit tests (wine)" low ctest_preset windows
if [[ -f cmake/HopwatchFuzz.cmake ]]; then
    suite "fuzz build" low scripts/build.sh fuzz
    for f in fuzz/run_*.sh; do
        [[ -e $f ]] && suite "fuzz $(basename "$f" .sh)" low "$f"
    done
fi
if [[ -f cmake/HopwatchBench.cmake ]]; then
    suite "benchmark build" low scripts/build.sh native-release
fi
# The Debian package of hopwatch-console: built, installed, run as a normal user, removed.
if [[ $(id -u) -eq 0 ]]; then
    suite "package: hopwatch-console .deb" low bash tests/package/deb_test.sh
fi

if [[ -n $lab_pid ]]; then
    wait "$lab_pid"
    cat "$lab_log"
    passed=$((passed + $(cat "$lab_passed" 2>/dev/null || echo 0)))
    while IFS= read -r f; do
        failed=$((failed + 1))
        failures+=("$f")
    done <"$lab_failures"
    if [[ ! -s $lab_passed ]]; then
        failed=$((failed + 1))
        failures+=("lab part (ended early)")
    fi
fi
rm -rf "$lab_dir"

# Benchmarks print figures; they fail only when they cannot run at all. They run last, on a
# machine with nothing else to do.
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
if [[ $(id -u) -eq 0 ]]; then
    exec 9>/run/hopwatch-lab-session.lock
    flock 9
    if [[ -x build/native-release/schedule_bench ]]; then
        suite "benchmark: probe schedule (lab, 30 hops)" bench/run_schedule_bench.sh 10
    fi
    if [[ -x build/native-release/long_run_bench ]]; then
        suite "benchmark: a fast run whose far hops never answer (lab, loss 100)" \
            bench/run_long_run_bench.sh 10
    fi
    if [[ -x build/windows/hopwatch.exe ]]; then
        suite "benchmark: window CPU beside the console (lab, 30 hops)" bench/run_gui_cpu_bench.sh 20
    fi
    if [[ -x build/native-release/probe_cpu_bench ]]; then
        suite "benchmark: CPU per probe against ping (lab, 30 hops)" bench/run_probe_cpu_bench.sh 10
    fi
    flock -u 9
    exec 9>&-
fi

echo
for f in "${failures[@]}"; do echo "failed suite: $f"; done
echo "suites: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
