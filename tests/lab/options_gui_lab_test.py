#!/usr/bin/env python3
"""End to end under Wine + Xvfb in the lab: the options sheet opened with Alt+O, a refused ping
interval, an accepted one that is in the registry after the program ends, and a double-clicked
hop that, confirmed, becomes the new target. Driven by keys and clicks; read back through the
window probe and screenshots (kept under build/, out of git)."""
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
# The Wine server must run inside the client namespace, so this test has a prefix of its own.
os.environ.setdefault("HOPWATCH_LAB_WINEPREFIX", "/tmp/hopwatch-wine-lab-options")
import app_settings_lab_test as app  # noqa: E402

check = app.check
probe = app.probe
MAIN = "Hopwatch"
SHEET = "Hopwatch Options"
CONFIRM = "Please confirm"
SCREENS = os.path.join(app.BUILD, "options-screens")
MARK = "#993300"  # the background of a refused field


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=20)


def window_id(name):
    ids = xdotool("search", "--name", f"^{name}$").stdout.split()
    return ids[-1] if ids else None


def keys(name, *sequence):
    wid = window_id(name)
    if wid is None:
        return False
    xdotool("windowactivate", "--sync", wid)
    xdotool("windowfocus", "--sync", wid)
    for key in sequence:
        xdotool("key", "--clearmodifiers", key)
        time.sleep(0.15)
    return True


def type_text(text):
    xdotool("type", "--delay", "60", text)
    time.sleep(0.3)


def screenshot(name):
    os.makedirs(SCREENS, exist_ok=True)
    path = os.path.join(SCREENS, f"{name}.png")
    subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=30)
    return path


def colours(path):
    out = subprocess.run(["convert", path, "-format", "%c", "histogram:info:-"],
                         capture_output=True, text=True, timeout=60).stdout
    return out.upper()


def still_there(caption, seconds):
    """TRUE when the window is still there after `seconds`."""
    rc, _ = probe("gone", caption, str(seconds))
    return rc != 0


def wait_until(predicate, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if predicate():
            return True
        time.sleep(0.25)
    return False


def scenario(info):
    # The first Wine process in the namespace may have to set the prefix up; let it, unhurried.
    app.wine("reg", "delete", r"HKCU\Software\ORVANE\Hopwatch", "/f", timeout=300)
    target = info["LAB_TARGET_ADDR"]
    hop1 = info["LAB_HOP_1"]

    # Started without arguments, so the settings are saved at exit.
    proc = subprocess.Popen(app.in_client(app.WINE_RUN, app.APP), env=app.wine_env(),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(probe("wait", MAIN, "60")[0] == 0, "the window appears")
    time.sleep(1.0)
    # The host box has the focus at start-up.
    keys(MAIN)
    type_text(target)
    check(probe("text", MAIN, "1002")[1] == target, "the host is typed into the host box")

    # Alt+O opens the sheet on its Pings page.
    keys(MAIN, "alt+o")
    check(probe("wait", SHEET, "20")[0] == 0, "Alt+O opens the options sheet")
    time.sleep(0.5)
    screenshot("1-sheet-open")
    # Alt+I: the interval group's mnemonic puts the focus into its edit.
    keys(SHEET, "alt+i", "End", "shift+Home", "BackSpace")
    type_text("0")
    shot = screenshot("2-interval-0")
    check(MARK in colours(shot), "an interval of 0 marks its field", shot)
    keys(SHEET, "Return")  # OK
    check(still_there(SHEET, 2), "OK is refused: the sheet stays open")
    keys(SHEET, "ctrl+Tab")  # the next page
    shot = screenshot("3-refused")
    check(MARK in colours(shot), "the field stays marked after OK and a page change", shot)

    keys(SHEET, "alt+i", "End", "shift+Home", "BackSpace")
    type_text("250")
    shot = screenshot("4-interval-250")
    check(MARK not in colours(shot), "250 is accepted: the mark is gone", shot)
    keys(SHEET, "Return")
    check(not still_there(SHEET, 10), "OK closes the sheet")

    # A run on the target, then a double-click on the first hop.
    keys(MAIN, "alt+s")
    check(app.wait_running(True), "Alt+S starts the run")
    check(wait_until(lambda: probe("rows", MAIN, "1005")[1] == "4", 20),
          "the route's rows show: this computer, two routers and the target")
    time.sleep(2.5)  # some probes answered, names looked up
    screenshot("5-running")
    rc, point = probe("rowpoint", MAIN, "1005", "1")  # row 0 is this computer, row 1 hop 1
    x, y = point.split()
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", "--repeat", "2", "--delay", "80", "1")
    text = app.box_text(CONFIRM, 15)
    screenshot("6-confirm")
    if text is not None:
        # Wine's message box hands its text to the static control with every LF made CR LF.
        text = text.replace("\r\r\n", "\r\n")
    want = f"Ping {hop1}\r\n(a.k.a. {info['LAB_HOP_1_NAME']})\r\ninstead ?"
    check(text == want, "double-clicking hop 1 asks to ping it instead", repr(text))
    keys(CONFIRM, "Return")  # OK is the default button
    check(not still_there(CONFIRM, 5), "the question closes on OK")
    check(app.wait_running(True), "the run goes on after the restart")
    check(wait_until(lambda: probe("text", MAIN, "1012")[1].startswith(hop1), 15),
          "the run's title is the hop's address", repr(probe("text", MAIN, "1012")[1]))
    time.sleep(2.0)
    screenshot("7-restarted")
    # One hop now: this computer and the hop, which is the end of the route.
    check(wait_until(lambda: probe("rows", MAIN, "1005")[1] == "2", 10),
          "the list shows the new, shorter route", probe("rows", MAIN, "1005")[1])

    app.close(proc)
    rc, values = app.registry()
    check(values.get("PingIntervalMS", ("", ""))[1] == "0xfa", "the interval 250 is stored",
          repr(values.get("PingIntervalMS")))
    history = values.get("HostHistory", ("", ""))[1]
    check(history.startswith(hop1), "the hop heads the stored host history", repr(history))


def run_on_chain(scenario_fn, screen="1024x768x24"):
    """Runs scenario_fn(info) in the window on a 3-hop chain, on Xvfb when there is no display;
    the lab always goes down. The exit code of the test."""
    if not os.environ.get("DISPLAY"):
        if shutil.which("xvfb-run") is None:
            check(False, "an X server or xvfb-run is available")
            return 1
        return subprocess.call(["xvfb-run", "-a", "-s", f"-screen 0 {screen}", sys.executable,
                                *sys.argv])
    if not check(os.path.exists(app.APP) and os.path.exists(app.PROBE),
                 "the program and the probe exist"):
        return 1
    try:
        app.lab("up", "chain", "3")
        info = app.lab_info()
        app.stop_wine()
        scenario_fn(info)
    except Exception as e:  # a broken step is a failure, and the lab still goes down
        check(False, "the scenario runs through", repr(e))
    finally:
        app.stop_wine()
        app.lab("down")
    print(f"{app.results['passed']} passed, {app.results['failed']} failed")
    return 0 if app.results["failed"] == 0 else 1


def main():
    return run_on_chain(scenario)


if __name__ == "__main__":
    sys.exit(main())
