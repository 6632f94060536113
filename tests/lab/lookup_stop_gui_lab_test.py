#!/usr/bin/env python3
"""End to end under Wine + Xvfb in the lab with a name server that never answers (look-ups hang
for 15 s each) and look-ups on: Escape while running ends the program within 2 s, and a
double-clicked hop restarts the run at once, however long the look-ups in progress would take."""
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
# The Wine server must run inside the client namespace, so this test has a prefix of its own.
os.environ.setdefault("HOPWATCH_LAB_WINEPREFIX", "/tmp/hopwatch-wine-lab-lookups")
import app_settings_lab_test as app  # noqa: E402
import options_gui_lab_test as gui  # noqa: E402
from console_lab_test import dropped_dns_packets, setup_silent_dns  # noqa: E402

check = app.check
probe = app.probe
gui.SCREENS = os.path.join(app.BUILD, "lookup-screens")
MAIN = "Hopwatch"
CONFIRM = "Please confirm"
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
    """Escape on the list, as a person closes the window: the program ends within 2 s."""
    wid = gui.window_id(MAIN)
    gui.xdotool("windowactivate", "--sync", wid)
    gui.xdotool("windowfocus", "--sync", wid)
    pressed = time.time()
    gui.xdotool("key", "--clearmodifiers", "Escape")
    gone = None
    while proc.poll() is None and time.time() < pressed + 30:
        if gone is None and gui.window_id(MAIN) is None:
            gone = time.time() - pressed
        time.sleep(0.05)
    if proc.poll() is None:
        proc.kill()
    took = time.time() - pressed
    print(f"# {what}: window gone after {gone} s, program ended after {took:.2f} s")
    check(proc.returncode is not None and took <= 2.0, f"{what}: Escape ends the program within 2 s",
          f"{took:.2f} s")


def scenario(info):
    app.wine("reg", "delete", r"HKCU\Software\ORVANE\Hopwatch", "/f", timeout=300)
    # Without a window manager on the Xvfb, Wine waits 2 s at a destroyed top-level window that
    # it left to the window manager; left to Wine alone, the window goes as it would on a desktop.
    app.wine("reg", "add", r"HKCU\Software\Wine\AppDefaults\hopwatch.exe\X11 Driver", "/v",
             "Managed", "/d", "N", "/f")
    before = dropped_dns_packets(info)

    proc = start(info)
    time.sleep(2.0)  # the DNS worker is inside its first look-up, which takes 15 s
    check(dropped_dns_packets(info) > before, "the look-ups went to the silent name server")
    gui.screenshot("lookups-1-running")
    click_row(1, 1)  # the focus on the list, as after a look at a row
    escape_ends(proc, "running with a look-up in progress")

    proc = start(info)
    time.sleep(2.0)
    click_row(1, 2)
    check(app.box_text(CONFIRM, 15) is not None, "double-clicking hop 1 asks to ping it instead")
    gui.keys(CONFIRM, "Return")
    confirmed = time.time()
    hop1 = info["LAB_HOP_1"]
    restarted = gui.wait_until(lambda: probe("text", MAIN, "1012")[1].startswith(hop1), 10)
    took = time.time() - confirmed
    # Each look at the window is a program of its own under Wine, about half a second.
    check(restarted and took <= 3.0, "the restart on the hop answers at once", f"{took:.1f} s")
    check(app.wait_running(True, 5), "the restarted run goes on")
    gui.screenshot("lookups-2-restarted")
    escape_ends(proc, "after the restart")


def main():
    if not os.environ.get("DISPLAY"):
        if shutil.which("xvfb-run") is None:
            check(False, "an X server or xvfb-run is available")
            return 1
        return subprocess.call(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", sys.executable,
                                *sys.argv])
    if not check(os.path.exists(app.APP) and os.path.exists(app.PROBE),
                 "the program and the probe exist"):
        return 1
    try:
        app.lab("up", "chain", "3")
        info = app.lab_info()
        setup_silent_dns(info, RESOLVER_OPTIONS)
        app.stop_wine()
        scenario(info)
    except Exception as e:  # a broken step is a failure, and the lab still goes down
        check(False, "the scenario runs through", repr(e))
    finally:
        app.stop_wine()
        app.lab("down")
    print(f"{app.results['passed']} passed, {app.results['failed']} failed")
    return 0 if app.results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
