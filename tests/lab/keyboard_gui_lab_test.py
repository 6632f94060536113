#!/usr/bin/env python3
"""End to end under Wine + Xvfb in the lab, driven by keys as a person would: type a host, Alt+S,
Alt+S to stop, Escape; the same after the command line's automatic start and after a confirmed
double-click restart, whose address must be on the bar within a second. Each time the program
must end with exit code 0, which it only does if the keyboard still reaches the window. Last, the
window at 200 % (the prefix's LogPixels), whose row images must have grown with the text; its
screenshot stays under build/, out of git."""
import os
import select
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
# Shares the options test's prefix (the tests run one after the other under the lab lock), so that
# no second prefix has to be set up.
import options_gui_lab_test as ui  # noqa: E402

app = ui.app
check = ui.check
probe = app.probe
MAIN = ui.MAIN
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
UNMANAGED_KEY = r"HKCU\Software\Wine\AppDefaults\hopwatch.exe\X11 Driver"


def launch(*args):
    proc = subprocess.Popen(app.in_client(app.WINE_RUN, app.APP, *args), env=app.wine_env(),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(probe("wait", MAIN, "60")[0] == 0, f"the window appears ({' '.join(args) or 'no arguments'})")
    time.sleep(1.0)
    return proc


def stopped():
    return app.button_text() == "&Start" and probe("text", MAIN, "1002")[0] == 0


def stop_and_escape(proc, road):
    """Alt+S stops the run, then Escape ends the program: exit code 0."""
    ui.keys(MAIN, "alt+s")
    check(ui.wait_until(stopped, 20), f"{road}: Alt+S stops the run", app.button_text())
    ui.keys(MAIN, "Escape")
    try:
        code = proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, f"{road}: Escape ends the program with exit code 0", repr(code))
    if code is None:
        proc.kill()
        app.stop_wine()


def row_height():
    """Pixels between the first two rows of the results list, or 0."""
    rc0, first = probe("rowpoint", MAIN, "1005", "0")
    rc1, second = probe("rowpoint", MAIN, "1005", "1")
    if rc0 != 0 or rc1 != 0:
        return 0
    return int(second.split()[1]) - int(first.split()[1])


def scenario(info):
    app.wine("reg", "delete", r"HKCU\Software\ORVANE\Hopwatch", "/f", timeout=300)
    # Left over by a run that broke off.
    app.wine("reg", "delete", UNMANAGED_KEY, "/f")
    app.wine("reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
    target = info["LAB_TARGET_ADDR"]
    hop1 = info["LAB_HOP_1"]

    # Typed: the host box has the focus at start-up.
    proc = launch()
    ui.keys(MAIN)
    ui.type_text(target)
    ui.keys(MAIN, "alt+s")
    check(app.wait_running(True), "typed: Alt+S starts the run")
    time.sleep(1.5)
    stop_and_escape(proc, "typed")

    # The command line's automatic start.
    proc = launch("/nodns", target)
    check(app.wait_running(True), "command line: the run starts at once")
    time.sleep(1.0)
    stop_and_escape(proc, "command line")

    # A confirmed double-click restart on a hop; without look-ups its title never changes. The
    # program's windows are left to Wine for this road: without a window manager, Wine otherwise
    # waits two seconds for one to let the closed question go, which is not the program's time.
    app.wine("reg", "add", UNMANAGED_KEY, "/v", "Managed", "/d", "N", "/f")
    proc = launch("/nodns", target)
    check(ui.wait_until(lambda: probe("rows", MAIN, "1005")[1] == "4", 20), "restart: the route shows")
    rc, point = probe("rowpoint", MAIN, "1005", "1")
    x, y = point.split()
    ui.xdotool("mousemove", "--sync", x, y)
    ui.xdotool("click", "--repeat", "2", "--delay", "80", "1")
    check(probe("wait", ui.CONFIRM, "15")[0] == 0, "restart: the question comes up")
    # A watcher that is already looking times the bar from the moment the question is gone.
    watcher = subprocess.Popen(app.in_client(app.WINE_RUN, app.PROBE, "waittext", MAIN, "1012", hop1,
                                             "20", ui.CONFIRM), env=app.wine_env(),
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               stdin=subprocess.DEVNULL)
    ready = select.select([watcher.stdout], [], [], 30)[0] and watcher.stdout.readline()
    check(bool(ready), "restart: the watcher looks at the bar")
    ui.keys(ui.CONFIRM, "Return")
    took = None
    if select.select([watcher.stdout], [], [], 30)[0]:
        line = watcher.stdout.readline().strip()
        took = int(line) / 1000.0 if line.isdigit() else None
    watcher.kill()
    watcher.wait()
    check(took is not None and took <= 1.0,
          f"restart: the bar shows {hop1} within a second of OK ({took} s)",
          repr(probe("text", MAIN, "1012")[1]))
    check(app.wait_running(True), "restart: the new run goes on")
    time.sleep(1.0)
    stop_and_escape(proc, "restart")
    app.wine("reg", "delete", UNMANAGED_KEY, "/f")

    # 200 %: text and row images twice as large as at 100 %.
    height100 = 0
    proc = launch(target)
    if ui.wait_until(lambda: probe("rows", MAIN, "1005")[1] == "4", 20):
        height100 = row_height()
    stop_and_escape(proc, "100 %")
    app.wine("reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "192", "/f")
    try:
        app.stop_wine()  # the system's dots per inch are read when the Wine session starts
        proc = launch(target)
        check(ui.wait_until(lambda: probe("rows", MAIN, "1005")[1] == "4", 30), "200 %: the route shows")
        time.sleep(4.0)  # names looked up, a few outcomes in the graphs
        height200 = row_height()
        check(height100 > 0 and height200 >= 32 and height200 >= 2 * height100 - 4,
              f"200 %: rows hold 32-pixel images ({height100} px at 100 %, {height200} px at 200 %)")
        print("# screenshot " + ui.screenshot("keys-200-percent"))
        stop_and_escape(proc, "200 %")
    finally:
        app.wine("reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
        app.stop_wine()


def main():
    return ui.run_on_chain(scenario, "1280x1024x24")


if __name__ == "__main__":
    sys.exit(main())
