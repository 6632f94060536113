#!/usr/bin/env python3
"""End to end under Wine + Xvfb in the lab with a name server that never answers (look-ups hang
for 15 s each) and look-ups on: Escape while running ends the program within 2 s, and a
double-clicked hop restarts the run at once, however long the look-ups in progress would take."""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
# Shares the options test's prefix (the tests run one after the other under the lab lock), so that
# no second prefix has to be set up.
import options_gui_lab_test as gui  # noqa: E402
from console_lab_test import dropped_dns_packets, setup_silent_dns  # noqa: E402

app = gui.app
check = app.check
probe = app.probe
gui.SCREENS = os.path.join(app.BUILD, "lookup-screens")
MAIN = "Hopwatch"
CONFIRM = "Please confirm"
UNMANAGED_KEY = r"HKCU\Software\Wine\AppDefaults\hopwatch.exe\X11 Driver"
# Far longer than the limits below: a window that waited for a look-up would miss them.
RESOLVER_OPTIONS = "timeout:15 attempts:1"


def start(info):
    """The program with look-ups on, started on the target from its command line."""
    proc = subprocess.Popen(app.in_client(app.WINE_RUN, app.APP, "/dns", "/int", "250", "/to",
                                          "1000", info["LAB_TARGET_ADDR"]),
                            env=app.wine_env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(probe("wait", MAIN, "60")[0] == 0, "the window appears")
    check(app.wait_running(True), "the run starts from the command line")
    check(gui.wait_until(lambda: probe("rows", MAIN, "1005")[1] == "4", 20),
          "the route's rows show while the look-ups hang")
    return proc


def click_row(row, count):
    rc, point = probe("rowpoint", MAIN, "1005", str(row))
    x, y = point.split()
    gui.xdotool("mousemove", "--sync", x, y)
    gui.xdotool("click", "--repeat", str(count), "--delay", "80", "1")


def escape_ends(proc, what):
    """Escape, as a person closes the window: the program ends within 2 s, with exit code 0."""
    wid = gui.window_id(MAIN)
    gui.xdotool("windowactivate", "--sync", wid)
    gui.xdotool("windowfocus", "--sync", wid)
    pressed = time.time()
    gui.xdotool("key", "--clearmodifiers", "Escape")
    while proc.poll() is None and time.time() < pressed + 30:
        time.sleep(0.05)
    if proc.poll() is None:
        proc.kill()
    took = time.time() - pressed
    check(proc.returncode == 0 and took <= 2.0, f"{what}: Escape ends the program within 2 s",
          f"{took:.2f} s, exit code {proc.returncode}")


def scenario(info):
    setup_silent_dns(info, RESOLVER_OPTIONS)
    app.wine("reg", "delete", r"HKCU\Software\ORVANE\Hopwatch", "/f", timeout=300)
    # Without a window manager on the Xvfb, Wine waits 2 s at a destroyed top-level window that
    # it left to the window manager; left to Wine alone, the window goes as it would on a desktop.
    app.wine("reg", "add", UNMANAGED_KEY, "/v", "Managed", "/d", "N", "/f")
    try:
        lookups_hang(info)
    finally:
        app.wine("reg", "delete", UNMANAGED_KEY, "/f")


def lookups_hang(info):
    """One program: a double-click restart while the first run's look-up hangs, then Escape while
    the new run's look-up hangs (a window start under Wine takes seconds, so one serves both)."""
    before = dropped_dns_packets(info)
    proc = start(info)
    time.sleep(2.0)  # the DNS worker is inside its first look-up, which takes 15 s
    check(dropped_dns_packets(info) > before, "the look-ups went to the silent name server")
    gui.screenshot("lookups-1-running")
    click_row(1, 2)
    check(app.box_text(CONFIRM, 15) is not None, "double-clicking hop 1 asks to ping it instead")
    asked = dropped_dns_packets(info)
    gui.keys(CONFIRM, "Return")
    confirmed = time.time()
    hop1 = info["LAB_HOP_1"]
    restarted = gui.wait_until(lambda: probe("text", MAIN, "1012")[1].startswith(hop1), 10)
    took = time.time() - confirmed
    # Each look at the window is a program of its own under Wine, about half a second.
    check(restarted and took <= 3.0, "the restart on the hop answers at once", f"{took:.1f} s")
    check(app.wait_running(True, 5) and
          gui.wait_until(lambda: probe("rows", MAIN, "1005")[1] == "2", 5),
          "the restarted run goes on and its route to the hop shows")
    check(gui.wait_until(lambda: dropped_dns_packets(info) > asked, 5),
          "the new run's look-ups went to the silent name server too")
    gui.screenshot("lookups-2-restarted")
    escape_ends(proc, "running with a look-up in progress after the restart")


if __name__ == "__main__":
    sys.exit(gui.run_on_chain(scenario))
