#!/usr/bin/env python3
"""The timeline in the lab: a 60-s run over a 4-hop chain whose router 2 drops every echo request
it forwards from second 20 to second 40 (an nftables rule added and removed during the run).

Outside the client namespace: hopwatch-console (native) runs the 60 s with /timeline, /record and
/html; its report's heat-map cells must show loss only within that span (give or take a cell) and
only at hops 3 and 4, and its events one loss episode with that start, end and hops; /replay of
the recording with /timeline and /html must show the same. At the same time the
real hopwatch.exe runs under Wine on a private Xvfb inside the namespace (--inside): Alt+T opens
"Hopwatch Timeline" during its run, the live and a zoomed view are screenshot, and the mouse over a
lossy cell shows that cell's figures in the window's status line."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import console_lab_test as lab_support  # noqa: E402
import gui_lab_test as gui_support  # noqa: E402  (read_ppm, pixel)
import report_gui_lab_test as gui_report  # noqa: E402  (xdotool, window_id, wait_for)
import report_lab_test as report_support  # noqa: E402  (tidy_ok, screenshot)

check = lab_support.check
ROOT = lab_support.ROOT
WINDOWS_BUILD = os.environ.get("HOPWATCH_WINDOWS_BUILD", os.path.join(ROOT, "build", "windows"))
HOPWATCH = os.path.join(WINDOWS_BUILD, "hopwatch.exe")
WINDOW_PROBE = os.path.join(WINDOWS_BUILD, "window_probe.exe")
# The console lab's prefix (its server runs inside the client namespace too): a prefix made afresh
# would cost the first minutes of the run.
PREFIX = lab_support.WINE_PREFIX
SCREENS = os.path.join(ROOT, "build", "lab-screenshots")
RUN_SECONDS = 60
DROP_FROM, DROP_TO = 20, 40
DROP_RULES = """table ip timeline {
    chain drops {
        type filter hook forward priority 0; policy accept;
        icmp type echo-request drop
    }
}
"""
TITLE = re.compile(r"<title>TTL (\d+) (\S+) (\d\d):(\d\d):(\d\d)-(\d\d):(\d\d):(\d\d) "
                   r"sent (\d+) lost (\d+) avg (\S+) ms</title>")
LOSS_MARK = (127, 0, 0)


def set_drop(on):
    """Router 2 drops (or forwards again) every echo request it would forward."""
    if on:
        subprocess.run(["ip", "netns", "exec", "hwr2", "nft", "-f", "-"], input=DROP_RULES, text=True,
                       capture_output=True, timeout=20, check=True)
    else:
        subprocess.run(["ip", "netns", "exec", "hwr2", "nft", "delete", "table", "ip", "timeline"],
                       capture_output=True, timeout=20)


def seconds_of_day(h, m, s):
    return int(h) * 3600 + int(m) * 60 + int(s)


# ---- the window, inside the client namespace ----

xdotool, window_id = gui_report.xdotool, gui_report.window_id


def wait_for(predicate, seconds):
    return gui_report.wait_for("", predicate, seconds)


def shoot(name):
    os.makedirs(SCREENS, exist_ok=True)
    ppm = os.path.join(SCREENS, name + ".ppm")
    subprocess.run(["import", "-window", "root", ppm], capture_output=True, timeout=30)
    subprocess.run(["convert", ppm, os.path.join(SCREENS, name + ".png")], capture_output=True, timeout=30)
    return gui_support.read_ppm(ppm)


def loss_marks(image):
    """Screen points whose colour is the heat map's loss mark."""
    width, height = image[0], image[1]
    points = []
    for y in range(0, height, 2):
        for x in range(0, width, 2):
            if all(abs(a - b) <= 8 for a, b in zip(gui_support.pixel(image, x, y), LOSS_MARK)):
                points.append((x, y))
    return points


def read_start(work):
    try:
        with open(os.path.join(work, "start")) as f:
            return float(f.read())
    except (OSError, ValueError):
        return None


def inside(work, target):
    env = dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    subprocess.run(["wineboot", "-i"], env=env, capture_output=True, timeout=300)
    status = lambda: subprocess.run(["wine", WINDOW_PROBE, "text", "Hopwatch Timeline", "100"], env=env,  # noqa: E731
                                    capture_output=True, timeout=30).stdout.decode("utf-8", "replace")
    proc = subprocess.Popen(["wine", HOPWATCH, "/nodns", target], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        main = wait_for(lambda: window_id("^Hopwatch$"), 120)
        if not check(main is not None, "window: the main window is up and runs the target"):
            return
        # The console's run (and the outage's clock) starts now; its start time comes back.
        open(os.path.join(work, "window-up"), "w").close()
        start = wait_for(lambda: read_start(work), 30)
        if not check(start is not None, "window: the console's run has started"):
            return
        # Into the outage: Alt+T on the main window, as a person would.
        time.sleep(max(0.0, start + DROP_FROM + 8 - time.time()))
        xdotool("windowfocus", "--sync", main)
        xdotool("key", "--clearmodifiers", "alt+t")
        timeline = wait_for(lambda: window_id("^Hopwatch Timeline$"), 20)
        if not check(timeline is not None, "window: Alt+T opens \"Hopwatch Timeline\" during the run"):
            return
        time.sleep(2)
        live = shoot("timeline-live")
        marks = loss_marks(live) if live else []
        check(len(marks) > 20, "window: the live view shows loss marks", f"{len(marks)} marked points")
        time.sleep(3)
        later = shoot("timeline-live-later")
        check(later is not None and len(loss_marks(later)) > len(marks),
              "window: the live view grows with the run", f"{len(marks)} marked points, then more")
        if marks:
            x, y = marks[len(marks) // 2]
            xdotool("mousemove", str(x), str(y))
            figures = wait_for(lambda: (lambda t: t if t.startswith("TTL ") else None)(status()), 10) or ""
            shoot("timeline-hover")
            m = re.match(r"TTL (\d+) \S+ \d\d:\d\d:\d\d-\d\d:\d\d:\d\d sent (\d+) lost (\d+) avg (\S+) ms", figures)
            check(m is not None and m.group(1) in ("3", "4") and int(m.group(3)) >= 1 and m.group(4) == "-",
                  "window: the mouse over a lossy cell shows its figures (TTL 3 or 4, lost, no average)",
                  figures)
            # The wheel zooms in around the lossy cell under the mouse, + once more around the
            # middle of what is then shown.
            xdotool("windowfocus", "--sync", timeline)
            xdotool("click", "--repeat", "3", "--delay", "150", "4")
            xdotool("key", "--clearmodifiers", "plus")
            xdotool("mousemove", "5", "690")
            time.sleep(1)
            zoomed = shoot("timeline-zoomed")
            check(zoomed is not None and len(loss_marks(zoomed)) > 2 * len(marks),
                  "window: the wheel and + zoom in: the lossy span fills more of the picture",
                  f"{len(loss_marks(zoomed)) if zoomed else 0} marked points against {len(marks)}")
        xdotool("windowfocus", "--sync", timeline)
        xdotool("key", "--clearmodifiers", "Escape")
        check(wait_for(lambda: window_id("^Hopwatch Timeline$") is None, 10),
              "window: Escape closes the timeline window")
        xdotool("windowfocus", "--sync", main)
        xdotool("key", "--clearmodifiers", "Escape")
        check(wait_for(lambda: proc.poll() is not None, 30) and proc.returncode == 0,
              "window: Escape ends the program", str(proc.poll()))
    finally:
        if proc.poll() is None:
            proc.kill()
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=60)


# ---- the console's report, outside ----

def check_report(path, console_out, what, render=True):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    titles = [m.groups() for m in TITLE.finditer(text)]
    # A second-wide slot in which a row's probe was not sent (one sent a little late falls in the
    # next) has no cell: on a busy machine a few of them are.
    check(len(titles) >= 0.95 * 5 * RUN_SECONDS, f"{what}: a titled heat-map cell per row and second",
          str(len(titles)))
    if not titles:
        return
    start = seconds_of_day(*titles[0][2:5])
    lossy = {}
    for ttl, _, h, m, s, *_rest in titles:
        lost = int(_rest[4])
        if lost:
            lossy.setdefault(int(ttl), []).append((seconds_of_day(h, m, s) - start) % 86400)
    stray = {t: c for t, c in lossy.items() if t not in (3, 4) or min(c) < DROP_FROM - 1 or max(c) > DROP_TO}
    check(not stray and all(len(lossy.get(t, [])) >= 15 for t in (3, 4)),
          f"{what}: loss only at hops 3 and 4, only from second {DROP_FROM} to {DROP_TO} (give or take a cell)",
          str(lossy))
    events = re.findall(r'<td class="tdl">([^<]*)</td>\r\n\t\t<td class="tdl">([^<]*)</td>\r\n\t\t<td class="tdl">'
                        r'([^<]*)</td>\r\n\t\t<td class="tdl">([^<]*)</td>', text)
    episodes = [e for e in events if e[2] == "Loss episode"]
    ok = len(episodes) == 1 and episodes[0][3] == "3-4"
    if ok:
        first = (seconds_of_day(*episodes[0][0].split(":")) - start) % 86400
        last = (seconds_of_day(*episodes[0][1].split(":")) - start) % 86400
        ok = abs(first - DROP_FROM) <= 2 and abs(last - DROP_TO) <= 2
    check(ok, f"{what}: the events list one loss episode at hops 3-4 from second 20 to 40", str(events))
    check("<script" not in text and "href=\"http" not in text.split("<svg", 1)[-1].split("<div class=\"ft\">")[0],
          f"{what}: the timeline section has no script and no external file")
    stripped = re.sub(r"<svg .*?</svg>\r\n", "", text, flags=re.S)
    plain = path + ".nosvg.html"
    with open(plain, "w", encoding="utf-8") as f:
        f.write(stripped)
    report_support.tidy_ok(plain, f"{what} without its SVG islands")
    if render:  # one browser rendering is enough: the replay's section is built by the same code
        report_support.screenshot(path, what.replace(" ", "-"))
    check(re.search(r"\nTTL   3 198\.51\.100\.6 +█+x{15,}█+\n", console_out) is not None
          # The drop starts between two probes: one sent just before it may still be answered
          # inside the episode's first second on a busy machine.
          and re.search(r"Loss episode at TTL 3-4: worst loss (9\d|100)% at TTL 3", console_out) is not None,
          f"{what}: /timeline prints hop 3's line with the outage and lists the episode", console_out[-1500:])


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--inside":
        inside(sys.argv[2], sys.argv[3])
        r = lab_support.results
        print(f"{r['passed']} passed, {r['failed']} failed")
        return 0 if r["failed"] == 0 else 1
    work = tempfile.mkdtemp(prefix="hopwatch-timeline-lab-")
    os.chmod(work, 0o755)
    window = None
    try:
        lab_support.lab("up", "chain", "4")
        info = lab_support.lab_info()
        window_up = os.path.join(work, "window-up")
        if check(os.path.exists(HOPWATCH), "hopwatch.exe exists", HOPWATCH):
            window = subprocess.Popen(["ip", "netns", "exec", info["LAB_CLIENT_NS"], "xvfb-run", "-a", "-s",
                                       "-screen 0 1024x700x24", sys.executable, os.path.abspath(__file__),
                                       "--inside", work, info["LAB_TARGET_ADDR"]])
            # The console's run starts once the window is up (about 5 s in a prefix that exists, a
            # minute or more when Wine makes it first), so the window sees the whole outage.
            wait_for(lambda: os.path.exists(window_up) or window.poll() is not None, 180)
        start = time.time()
        with open(os.path.join(work, "start.new"), "w") as f:
            f.write(repr(start))
        os.rename(os.path.join(work, "start.new"), os.path.join(work, "start"))
        timers = [threading.Timer(DROP_FROM, set_drop, (True,)), threading.Timer(DROP_TO, set_drop, (False,))]
        for t in timers:
            t.start()
        html = os.path.join(work, "timeline.html")
        recording = os.path.join(work, "timeline.hwrec")
        code, out, err = lab_support.run_console("native", ["/nodns", "/time", str(RUN_SECONDS), "/timeline",
                                                            "/nocolor", "/record", recording, "/html", html,
                                                            info["LAB_TARGET_ADDR"]])
        for t in timers:
            t.join()
        check(code == 0 and os.path.exists(html), "console: the 60-s run with /timeline and /html",
              f"exit {code}\n{err[-800:]}")
        if os.path.exists(html):
            check_report(html, out, "report-timeline")
        # The same from the run's recording.
        replayed = os.path.join(work, "replayed.html")
        code, out, err = lab_support.run_console("native", ["/replay", recording, "/timeline", "/nocolor",
                                                            "/html", replayed])
        check(code == 0 and os.path.exists(replayed), "replay: /replay of the run's recording with /timeline",
              f"exit {code}\n{err[-800:]}")
        if os.path.exists(replayed):
            check_report(replayed, out, "replay-timeline", render=False)
        if window is not None:
            check(window.wait(timeout=300) == 0, "window: every check inside the namespace passed")
    finally:
        set_drop(False)
        if window is not None and window.poll() is None:
            window.kill()
        lab_support.lab("down")
        shutil.rmtree(work, ignore_errors=True)
    r = lab_support.results
    print(f"{r['passed']} passed, {r['failed']} failed")
    return 0 if r["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
