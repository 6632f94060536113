#!/bin/bash
# Benchmark (root, lab): CPU the window process uses over SECONDS (default 60) of a running test on
# the 30-hop route under Wine, beside the console's CPU at the same settings. Prints figures.
# The window is measured three times: on a test at default settings (a first start: the
# template's size, which shows the first rows of the route), on a test at 1000 x 700 pixels,
# which shows every row, and with no test running (below). Settings an
# earlier test left in the shared prefix are removed first, and afterwards, as the window tests do.
# The display carries an X resource database, as every desktop session's does (its settings
# daemon or xrdb puts one there). A bare Xvfb has none, and then Xlib reads the absent
# ~/.Xdefaults files again at each lookup: Wine's X driver looks up two font defaults whenever a
# font is put into a window's device context, which the list view does for every row it paints,
# so a bare Xvfb charges the window some 0.3 to 0.6 % of a core that no desktop would.
# With no test running, the figure is what the window's message loop costs for the 125 ms refresh
# timer alone, before anything is refreshed or painted.
# Run it inside the lab session lock (scripts/test.sh does).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HOPWATCH_WINDOWS_BUILD:-$root/build/windows}
seconds=${1:-60}
lab=$root/tests/lab/hoplab.sh
export WINEPREFIX=${HOPWATCH_LAB_GUI_WINEPREFIX:-/tmp/hopwatch-wine-gui-lab}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

display=""
for n in $(seq 150 199); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=:$n; break; fi
done
# -noreset: without it the server forgets the root window's properties whenever its last client
# goes, as between the two programs measured here.
Xvfb "$display" -screen 0 1024x768x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
settings='HKCU\Software\ORVANE\Hopwatch'
cleanup() {
    ip netns exec hwc wine reg delete "$settings" /f >/dev/null 2>&1 || true
    ip netns exec hwc wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
    "$lab" down >/dev/null 2>&1 || true
}
trap cleanup EXIT
export DISPLAY=$display
"$lab" up long >/dev/null
eval "$("$lab" info)"
resources_set=""
for _ in $(seq 50); do
    if xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	96" 2>/dev/null; then
        resources_set=1
        break
    fi
    sleep 0.1
done
[[ -n $resources_set ]] || { echo "run_gui_cpu_bench: the display $display did not start" >&2; exit 1; }

# Jiffies (user + system) of the first process whose command line holds the program's path, and
# of its first thread, which runs the window's message loop.
cpu_ticks() {
    local pid
    pid=$(pgrep -f -n -- "$1" | head -1)
    [[ -n $pid ]] || { echo "-1 -1"; return; }
    echo "$(awk '{print $14 + $15}' "/proc/$pid/stat") $(awk '{print $14 + $15}' "/proc/$pid/task/$pid/stat")"
}

# Measures a program started in the background for $seconds after a settling time of 5 s: prints
# the percentages of a core of the process and of its first thread.
measure() {
    local path=$1
    sleep 5
    local t0 c0 c1 t1
    t0=$(date +%s.%N); c0=($(cpu_ticks "$path"))
    sleep "$seconds"
    t1=$(date +%s.%N); c1=($(cpu_ticks "$path"))
    if [[ ${c0[0]} -lt 0 || ${c1[0]} -lt 0 ]]; then echo "n/a n/a"; return; fi
    awk -v c="$((c1[0] - c0[0]))" -v m="$((c1[1] - c0[1]))" -v hz="$(getconf CLK_TCK)" \
        -v t0="$t0" -v t1="$t1" 'BEGIN { s = hz * (t1 - t0); printf "%.2f %.2f", 100 * c / s, 100 * m / s }'
}

# The window on a test, with a saved placement (none: the template's own size, as a first start);
# with a second argument "idle", the window alone, no test started.
measure_window() {
    ip netns exec hwc wine reg delete "$settings" /f >/dev/null 2>&1 || true
    if [[ -n $1 ]]; then
        ip netns exec hwc wine reg add "$settings\Settings" /v MainWndPos /t REG_SZ /d "$1" /f \
            >/dev/null 2>&1
    fi
    local target=$LAB_TARGET_ADDR
    [[ ${2:-} != idle ]] || target=""
    ip netns exec hwc wine "$build/hopwatch.exe" $target >/dev/null 2>&1 &
    local app=$!
    measure "$build/hopwatch.exe"
    ip netns exec hwc wineserver -k >/dev/null 2>&1 || true
    wait "$app" || true
}

window=($(measure_window ""))
window_all=($(measure_window "0,1,-1,-1,-1,-1,0,0,1000,700"))
window_idle=($(measure_window "" idle))

ip netns exec hwc wine "$build/hopwatch-console.exe" /time $((seconds + 10)) "$LAB_TARGET_ADDR" \
    >/dev/null 2>&1 &
app=$!
console=($(measure "$build/hopwatch-console.exe"))
ip netns exec hwc wineserver -k >/dev/null 2>&1 || true
wait "$app" || true

adds() {
    if [[ $1 != n/a && $console != n/a ]]; then
        awk -v w="$1" -v c="${console[0]}" -v t="$2" 'BEGIN { printf "  the window adds %.2f %% of a core%s\n", w - c, t }'
    fi
}
echo "CPU over ${seconds} s of a test on the ${LAB_HOPS}-hop route at default settings, under Wine on a display with X resources:"
echo "  window  (hopwatch.exe):         ${window[0]} % of a core (its window thread ${window[1]} %)"
echo "  console (hopwatch-console.exe): ${console[0]} % of a core"
adds "${window[0]}" " (target: below 1 %)"
echo "The window at 1000 x 700 pixels, every row of the route on screen:"
echo "  window  (hopwatch.exe):         ${window_all[0]} % of a core (its window thread ${window_all[1]} %)"
adds "${window_all[0]}" ""
echo "The window with no test running, its 125 ms refresh timer alone:"
echo "  window  (hopwatch.exe):         ${window_idle[0]} % of a core (its window thread ${window_idle[1]} %)"
