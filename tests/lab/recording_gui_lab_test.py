#!/usr/bin/env python3
"""The real hopwatch.exe under Wine on a private Xvfb inside the lab's client namespace: a run
typed and started, then stopped, as a person does; its recording lies in the user's Recordings
folder; "Open recording..." in the system menu (Alt+Space, O) and the file dialog open it, and the
window shows the same rows read-only, with the run's title and times. Escape closes the program.
Reuses gui_lab_test.py's display, probe and clicks; every wait is bounded."""
import glob
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import check, lab, lab_info, results  # noqa: E402
import gui_lab_test as gui  # noqa: E402
import recording_format  # noqa: E402

# Wine's LOCALAPPDATA for root, as the program's own folder lies in it.
FOLDER = os.path.join(gui.PREFIX, "drive_c", "users", "root", "AppData", "Local", "Hopwatch", "Recordings")


def texts(state):
    return [(i["image"], i["texts"]) for i in state["items"]]


def start(display, host):
    """Starts the program, types host into its box (again if the first keys came before the box
    had the focus) and clicks Start; the program and the state once running."""
    app = gui.wine(display, "explorer", f"/desktop={gui.DESKTOP},{gui.SCREEN[0]}x{gui.SCREEN[1]}",
                   gui.EXE, background=True)
    state, ok = gui.wait_for(display, lambda s: s["window"] is not None and 1002 in s["controls"], 60)
    check(ok, "the window comes up", state)
    if not ok:
        return app, state
    time.sleep(1.0)
    for _ in range(3):
        r = state["controls"][1002]["rect"]
        display.xdotool("mousemove", r[0] + 20, (r[1] + r[3]) // 2)
        display.xdotool("click", "--repeat", 3, 1)
        display.xdotool("type", "--delay", 30, host)
        state, ok = gui.wait_for(display, lambda s: s["controls"][1004]["enabled"], 5)
        if ok:
            break
    check(ok, "typing the host enables Start", state["controls"])
    gui.click(display, state["controls"][1004]["rect"])
    state, ok = gui.wait_for(display, lambda s: s["controls"][1004]["text"] == "&Stop", 10)
    check(ok, "Start starts the run", state["controls"])
    return app, state


def scenario(display, info):
    for old in glob.glob(os.path.join(FOLDER, "*.hwrec")):
        os.remove(old)
    hops = int(info["LAB_HOPS"])
    app, state = start(display, info["LAB_TARGET_ADDR"])
    try:
        state, ok = gui.wait_for(display, lambda s: len(s["items"]) == hops + 1 and all(
            int(i["texts"][5].replace(",", "") or 0) >= 3 for i in s["items"]), 40)
        check(ok, "the route is complete and answering", state["items"])
        gui.click(display, state["controls"][1004]["rect"])
        state, ok = gui.wait_for(display, lambda s: s["controls"][1004]["text"] == "&Start"
                                 and s["controls"][1002]["visible"], 20)
        check(ok, "Stop brings the stopped state", state["controls"])
        live = texts(state)

        # The recording is closed soon after the run's end.
        files, recording = [], None
        end = time.time() + 15
        while time.time() < end:
            files = glob.glob(os.path.join(FOLDER, "*.hwrec"))
            if len(files) == 1:
                recording = recording_format.read(files[0])
                if recording["status"] == "complete":
                    break
            time.sleep(0.5)
        check(len(files) == 1 and recording is not None and recording["status"] == "complete"
              and os.path.basename(files[0]).endswith("_" + info["LAB_TARGET_ADDR"] + ".hwrec"),
              "the run's recording lies whole in the user's Recordings folder",
              (files, recording and recording["status"]))
        if len(files) != 1:
            return

        # The system menu by its keys, then the file dialog: the file's name and Enter.
        # A click into the list below its rows gives the window the keyboard.
        w = state["window"]
        display.xdotool("mousemove", (w[0] + w[2]) // 2, w[3] - 30)
        display.xdotool("click", 1)
        display.xdotool("key", "alt+space")
        time.sleep(1.0)
        display.screenshot("recording_system_menu")
        display.xdotool("key", "o")
        time.sleep(2.0)
        display.screenshot("recording_file_dialog")
        name = "C:\\users\\root\\AppData\\Local\\Hopwatch\\Recordings\\" + os.path.basename(files[0])
        display.xdotool("type", "--delay", 20, name)
        display.xdotool("key", "Return")
        state, ok = gui.wait_for(display, lambda s: s["controls"][1012]["visible"]
                                 and "(recorded " in s["controls"][1012]["text"], 20)
        check(ok and state["controls"][1012]["text"].startswith(info["LAB_TARGET_ADDR"])
              and not state["controls"][1002]["visible"] and state["controls"][1004]["text"] == "&Start"
              and state["controls"][1007]["enabled"],
              "the recording opens: its title and times in the bar, Start and Export there",
              state["controls"])
        check(texts(state) == live, "it shows the same rows as the run did", (texts(state), live))
        gui.probe(display, "size", "1000", "560")
        time.sleep(1.0)
        display.screenshot("recording_opened")

        display.xdotool("key", "Escape")
        try:
            app.wait(timeout=20)
            closed = True
        except subprocess.TimeoutExpired:
            closed = False
        check(closed, "Escape closes the program")
    finally:
        gui.stop_program(display, app)


def main():
    display = gui.Display()
    try:
        lab("up", "chain", "4")
        started = time.time()
        try:
            scenario(display, lab_info())
        except Exception as e:  # a crash of the check is a failure, not an abort
            check(False, "the recording scenario ran", repr(e))
        print(f"# recording window: {time.time() - started:.1f} s")
    finally:
        subprocess.run(["ip", "netns", "exec", "hwc", "wineserver", "-k"], env=display.env(),
                       capture_output=True, timeout=60)
        lab("down")
        display.close()
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
