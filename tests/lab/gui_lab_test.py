#!/usr/bin/env python3
"""Runs the real hopwatch.exe under Wine on a private Xvfb inside the lab's client namespace,
drives it with the mouse and keyboard as a person would, and checks what the window shows: the
list read back through the list view's messages (tests/lab/gui_probe_win.cpp) and screenshots.
Screenshots go to build/lab-screenshots (not in git). Every wait is bounded."""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import ROOT, check, lab, lab_info, results  # noqa: E402,F401
BUILD = os.environ.get("HOPWATCH_WINDOWS_BUILD", os.path.join(ROOT, "build", "windows"))
EXE = os.path.join(BUILD, "hopwatch.exe")
PROBE = os.path.join(BUILD, "hopwatch_gui_probe.exe")
SHOTS = os.path.join(ROOT, "build", "lab-screenshots")
# The Wine server must run inside the client namespace: a prefix of its own.
PREFIX = os.environ.get("HOPWATCH_LAB_GUI_WINEPREFIX", "/tmp/hopwatch-wine-gui-lab")
DESKTOP = "hopwatch"
# The tooltip of the run's title: how the run probes.
RAW_TIP = "Probing with a raw ICMP socket"
SERVICE_TIP = "Probing with the system's ICMP service, which needs no administrator rights"
SCREEN = (1024, 768)


class Display:
    """A private Xvfb on the first free display number from 150."""

    def __init__(self):
        self.number = next(n for n in range(150, 200) if not os.path.exists(f"/tmp/.X11-unix/X{n}")
                           and not os.path.exists(f"/tmp/.X{n}-lock"))
        self.name = f":{self.number}"
        self.proc = subprocess.Popen(["Xvfb", self.name, "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                                      "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{self.number}"):
                break
            time.sleep(0.1)

    def env(self):
        return dict(os.environ, DISPLAY=self.name, WINEPREFIX=PREFIX, WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=")

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=False, timeout=30,
                       capture_output=True)

    def screenshot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        png = os.path.join(SHOTS, name + ".png")
        ppm = os.path.join(SHOTS, name + ".ppm")
        subprocess.run(["import", "-window", "root", png], env=self.env(), timeout=60, check=False)
        subprocess.run(["import", "-window", "root", ppm], env=self.env(), timeout=60, check=False)
        print(f"# screenshot {png}")
        return read_ppm(ppm)

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def read_ppm(path):
    """(width, height, bytes) of a binary PPM as import writes it."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return None
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    return width, height, data[pos + 1:], maxval


def pixel(image, x, y):
    """(red, green, blue) in 0..255; 16-bit samples (maxval above 255) are read big-endian."""
    width, _, data, maxval = image
    size = 2 if maxval > 255 else 1
    i = (y * width + x) * 3 * size
    return tuple(data[i + c * size] * 255 // (maxval >> (8 * (size - 1))) if size == 1
                 else ((data[i + 2 * c] << 8) | data[i + 2 * c + 1]) * 255 // maxval for c in range(3))


def wine(display, *args, background=False):
    cmd = ["ip", "netns", "exec", "hwc", "wine", *args]
    if background:
        return subprocess.Popen(cmd, env=display.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return subprocess.run(cmd, env=display.env(), capture_output=True, timeout=20)


def probe(display, *extra):
    """The window as gui_probe_win.cpp reads it: controls by id, list items, cells, columns."""
    try:
        out = wine(display, PROBE, DESKTOP, *extra).stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        print("# probe timed out")
        out = ""
    state = {"controls": {}, "items": [], "cells": {}, "columns": {}, "window": None, "tooltip": None,
             "tooltip_visible": False}
    for line in out.splitlines():
        f = line.rstrip("\r").split("\t")
        if f[0] == "window" and len(f) >= 5:
            state["window"] = list(map(int, f[1:5]))
        elif f[0] == "control":
            state["controls"][int(f[1])] = {"enabled": f[2] == "1", "visible": f[3] == "1",
                                            "rect": list(map(int, f[4:8])), "text": f[8] if len(f) > 8 else ""}
        elif f[0] == "item":
            state["items"].append({"image": int(f[2]), "texts": (f[3:] + [""] * 12)[:12]})
        elif f[0] == "cell":
            state["cells"][(int(f[1]), int(f[2]))] = list(map(int, f[3:7]))
        elif f[0] == "column":
            state["columns"][int(f[1])] = int(f[2])
        elif f[0] == "tooltip":
            state["tooltip_visible"] = f[1] == "1"
            state["tooltip"] = f[2] if len(f) > 2 else ""
    return state


def wait_for(display, predicate, seconds):
    """Probes until predicate(state) holds; the last state and whether it held."""
    end = time.time() + seconds
    state = probe(display)
    while not predicate(state) and time.time() < end:
        time.sleep(0.5)
        state = probe(display)
    return state, predicate(state)


def center(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def click(display, rect):
    x, y = center(rect)
    display.xdotool("mousemove", x, y)
    display.xdotool("click", 1)


def start_host(display, host):
    """Starts the program, types host into the box and clicks Start; the state once running."""
    # The prefix may keep settings of an earlier run (a host in the box would enable Start).
    wine(display, "reg", "delete", r"HKCU\Software\ORVANE\Hopwatch", "/f")
    app = wine(display, "explorer", f"/desktop={DESKTOP},{SCREEN[0]}x{SCREEN[1]}", EXE, background=True)
    state, ok = wait_for(display, lambda s: s["window"] is not None and 1002 in s["controls"], 60)
    check(ok, "the window comes up", state)
    if not ok:
        return app, state
    combo = state["controls"][1002]
    check(combo["visible"] and combo["enabled"] and not state["controls"][1004]["enabled"]
          and state["controls"][1004]["text"] == "&Start" and not state["controls"][1012]["visible"],
          "it opens stopped: host box shown, Start disabled", state["controls"])
    # The edit part of the drop-down box: left of its arrow.
    r = combo["rect"]
    display.xdotool("mousemove", r[0] + 20, (r[1] + r[3]) // 2)
    display.xdotool("click", 1)
    display.xdotool("type", "--delay", 30, host)
    state, ok = wait_for(display, lambda s: s["controls"][1004]["enabled"], 10)
    check(ok, "typing the host enables Start", state["controls"])
    click(display, state["controls"][1004]["rect"])
    state, ok = wait_for(display, lambda s: s["controls"][1004]["text"] == "&Stop", 10)
    check(ok and not state["controls"][1002]["visible"] and state["controls"][1012]["visible"]
          and state["controls"][1012]["text"].startswith(host) and not state["controls"][1006]["enabled"],
          "running: the bar shows the run's title in place of the box, Options disabled", state["controls"])
    return app, state


def stop_program(display, app):
    subprocess.run(["ip", "netns", "exec", "hwc", "wineserver", "-k"], env=display.env(),
                   capture_output=True, timeout=60)
    try:
        app.wait(timeout=20)
    except subprocess.TimeoutExpired:
        app.kill()


def is_white(rgb):
    return all(c >= 0xF0 for c in rgb)


def wait_for_split(display, info, tag):
    """Waits until the split route is in the list and checks its rows; the last state."""
    hops = int(info["LAB_HOPS"])
    split = int(info["LAB_SPLIT_HOP"])
    rows = hops + 1 + 2  # hop 0 .. target, plus the two alternatives

    def complete(s):
        items = s["items"]
        alts = [i for i in items if i["image"] == 2]
        return (len(items) == rows and len(alts) == 2
                and all(i["texts"][5] not in ("", "0") for i in items[1:]))
    state, ok = wait_for(display, complete, 40)
    items = state["items"]
    check(ok, f"{tag}: {rows} rows with both alternatives", items)
    if not items:
        return state, None
    check(items[0]["image"] == 5 and items[0]["texts"][0] == "" and items[0]["texts"][1] == info["LAB_CLIENT_ADDR"],
          f"{tag}: hop 0 is this computer", items[0])
    by_ttl = {}
    for i in items:
        if i["image"] != 2:
            by_ttl[i["texts"][0]] = i
    for k in range(1, hops + 1):
        i = by_ttl.get(str(k))
        if k == split:
            check(i is not None and i["image"] == 1 and i["texts"][1] == "" and "2 alternative routes" in i["texts"][2],
                  f"{tag}: hop {k} is the aggregate of two routes", i)
        else:
            check(i is not None and i["texts"][1] == info[f"LAB_HOP_{k}"] and i["image"] == (3 if k == hops else 0),
                  f"{tag}: hop {k} is {info[f'LAB_HOP_{k}']}", i)
    alts = sorted(i["texts"][1] for i in items if i["image"] == 2)
    check(alts == sorted("  " + info[x] for x in ("LAB_SPLIT_A", "LAB_SPLIT_B")),
          f"{tag}: the alternatives are indented under the aggregate", alts)
    target = by_ttl.get(str(hops), {"texts": [""] * 12})
    check(target["texts"][3] == "0%" and target["texts"][6] == "0" and target["texts"][7].strip() != "",
          f"{tag}: the target answers every probe", target)
    return state, by_ttl


def scenario_split(display, info):
    app, state = start_host(display, info["LAB_TARGET_ADDR"])
    try:
        state, by_ttl = wait_for_split(display, info, "split")
        if by_ttl is None:
            return
        check(state["tooltip"] == RAW_TIP, "split: the title's tooltip says the raw socket probes", state["tooltip"])
        check(state["columns"].get(2, 0) > 0 and all(w > 0 for w in state["columns"].values()),
              "split: every column is sized", state["columns"])
        check(state["controls"][1007]["enabled"], "split: Export is enabled with rows in the list")

        # Wide enough for all twelve columns; the list grows with the window.
        probe(display, "size", "1000", "560")
        time.sleep(4)  # a few more outcomes in the history graphs
        state = probe(display)
        image = display.screenshot("split_running")
        check(image is not None, "split: screenshot taken")
        if image is not None:
            target_row = next(n for n, i in enumerate(state["items"]) if i["image"] == 3)
            loss = state["cells"][(target_row, 3)]
            rgb = pixel(image, loss[0] + 4, (loss[1] + loss[3]) // 2)
            check(rgb[1] > 0xE0 and rgb[0] < 0xC0 and rgb[2] < 0xC0,
                  "split: the target's 0% loss cell is green", (rgb, loss, target_row))
            graph = state["cells"][(target_row, 11)]
            check(graph[2] <= SCREEN[0] and graph[2] - graph[0] > 20, "split: the graph column is on screen", graph)
            y = graph[3] - 4
            coloured = [pixel(image, x, y) for x in range(graph[0] + 2, graph[2] - 2)]
            bars = [c for c in coloured if not is_white(c) and c != (0xCC, 0xCC, 0xCC)]
            check(len(bars) >= 3, "split: the target's history graph has bars", coloured[:12])
        click(display, state["controls"][1004]["rect"])
        state, ok = wait_for(display, lambda s: s["controls"][1004]["text"] == "&Start" and s["controls"][1002]["visible"], 15)
        check(ok and state["controls"][1004]["enabled"] and not state["controls"][1012]["visible"]
              and state["controls"][1006]["enabled"] and len(state["items"]) == int(info["LAB_HOPS"]) + 3,
              "split: Stop brings back the stopped state and keeps the rows", state["controls"])
        display.screenshot("split_stopped")
    finally:
        stop_program(display, app)


def scenario_split_system(display, info):
    """The window started from the command line with /method system: the system's ICMP service
    (under Wine as root, over a raw socket of Wine's own) traces the split route; hovering over
    the run's title shows how it probes; Escape closes the window."""
    app = wine(display, "explorer", f"/desktop={DESKTOP},{SCREEN[0]}x{SCREEN[1]}", EXE, "/method", "system",
               info["LAB_TARGET_ADDR"], background=True)
    try:
        state, ok = wait_for(display, lambda s: s["window"] is not None and s["controls"].get(1004, {}).get("text") == "&Stop", 60)
        check(ok, "system: the command line starts the run", state["controls"])
        state, by_ttl = wait_for_split(display, info, "system")
        check(state["tooltip"] == SERVICE_TIP, "system: the title's tooltip says the ICMP service probes",
              state["tooltip"])
        bar = state["controls"][1012]["rect"]
        display.xdotool("mousemove", bar[0] + 30, (bar[1] + bar[3]) // 2)
        state, ok = wait_for(display, lambda s: s["tooltip_visible"], 10)
        check(ok, "system: resting the mouse on the title shows the tooltip", state["tooltip"])
        display.screenshot("split_system_tooltip")
        # A click into the list below its rows gives the window the keyboard, as a person's would.
        window = state["window"]
        display.xdotool("mousemove", (window[0] + window[2]) // 2, window[3] - 60)
        display.xdotool("click", 1)
        display.xdotool("key", "--clearmodifiers", "Escape")
        state, closed = wait_for(display, lambda s: s["window"] is None, 20)
        check(closed, "system: Escape closes the window", state["controls"])
    finally:
        stop_program(display, app)


def scenario_silent(display, info):
    app, state = start_host(display, info["LAB_TARGET_ADDR"])
    try:
        hops = int(info["LAB_HOPS"])
        state, ok = wait_for(display, lambda s: len(s["items"]) == hops + 1, 30)
        check(ok, "silent: the route is complete", state["items"])
        click(display, state["controls"][1004]["rect"])
        stopped_at = time.time()
        state = probe(display)
        start = state["controls"][1004]
        check(start["text"] == "Stopping..." and not start["enabled"] and state["controls"][1012]["visible"],
              "silent: Stop shows Stopping... while the silent hop's probes are outstanding", state["controls"])
        display.screenshot("silent_stopping")
        time.sleep(1.5)
        state = probe(display)
        check(state["controls"][1004]["text"] == "Stopping...", "silent: still stopping after a while",
              state["controls"][1004])
        state, ok = wait_for(display, lambda s: s["controls"][1004]["text"] == "&Start", 15)
        took = time.time() - stopped_at
        # The outstanding probes run out their 5 s time-out, then the workers end.
        check(ok and 2.0 <= took <= 12.0, f"silent: stopped after the time-out ran out ({took:.1f} s)",
              state["controls"])
    finally:
        stop_program(display, app)


def main():
    for tool in ("Xvfb", "xdotool", "import", "wine"):
        if shutil.which(tool) is None:
            check(False, f"{tool} is installed")
            return 1
    if not (os.path.exists(EXE) and os.path.exists(PROBE)):
        check(False, "the Windows build exists", EXE)
        return 1
    display = Display()
    try:
        for scenario, fn in ((["split"], scenario_split), (["split"], scenario_split_system),
                             (["silent"], scenario_silent)):
            lab("up", *scenario)
            started = time.time()
            try:
                fn(display, lab_info())
            except Exception as e:  # a crash of the check is a failure, not an abort
                check(False, f"{scenario[0]} ran", repr(e))
            print(f"# {scenario[0]}: {time.time() - started:.1f} s")
    finally:
        subprocess.run(["ip", "netns", "exec", "hwc", "wineserver", "-k"], env=display.env(),
                       capture_output=True, timeout=60)
        lab("down")
        display.close()
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
