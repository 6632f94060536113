#!/usr/bin/env python3
"""Export from the real window: hopwatch.exe under Wine on a private Xvfb inside the lab's client
namespace, driven by keys as a person would. Wine's browser launcher is pointed at a script that
only records what it was asked to open, so the hand-over is observable and no browser starts.

Outside: builds the lab, runs this file again inside the namespace (--inside), then renders the
exported report with headless Chromium (no network) next to the window's screenshots."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "resources", "images"))
import console_lab_test as lab_support  # noqa: E402
import report_lab_test as report_support  # noqa: E402

check = lab_support.check
ROOT = lab_support.ROOT
HOPWATCH = os.path.join(os.environ.get("HOPWATCH_WINDOWS_BUILD", os.path.join(ROOT, "build", "windows")),
                        "hopwatch.exe")
# The Wine server must run inside the client namespace: a prefix of its own.
PREFIX = os.environ.get("HOPWATCH_REPORT_WINEPREFIX", "/tmp/hopwatch-wine-report-gui")
SCREENS = report_support.SCREENS


def wine_env(work):
    return dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")


def wait_for(what, predicate, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.25)
    return None


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=20)


def window_id(name):
    proc = xdotool("search", "--name", name)
    ids = proc.stdout.split()
    return ids[0] if ids else None


def press(wid, keys):
    xdotool("windowfocus", "--sync", wid)
    xdotool("key", "--clearmodifiers", keys)


def shoot(name):
    os.makedirs(SCREENS, exist_ok=True)
    path = os.path.join(SCREENS, name + ".png")
    subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=30)
    return path


def reports(temp_dirs):
    found = []
    for d in temp_dirs:
        found += glob.glob(os.path.join(d, "Hopwatch_Result_*.html"))
    return sorted(found)


def expected_image_tables():
    """Row image index -> the rows of pixel classes the report must show for it, and the icon's."""
    import hopwatch_images as images
    strip = images.load(os.path.join(ROOT, "resources", "images", "row_images.txt"))
    icon = max(images.load(os.path.join(ROOT, "resources", "images", "program_icon.txt")),
               key=lambda img: img[1])
    digit = lambda p: "T" if p == images.TRANSPARENT else "0123456789ABCDEF"[p]  # noqa: E731
    rows = {i: ["".join(digit(p) for p in row) for row in img[3]] for i, img in enumerate(strip)}
    return rows, ["".join(digit(p) for p in row) for row in icon[3]]


def icon_rows(table_html):
    return ["".join(re.findall(r'class="tdi(.)"', row)) for row in re.findall(r"<tr>(.*?)</tr>", table_html)]


def check_report(path, info, stopped, what):
    raw, table = report_support.parse_report(path)
    text = raw.decode("utf-8")
    check(raw.startswith(b"<!DOCTYPE HTML PUBLIC"), f"{what}: starts with the doctype, no byte-order mark")
    check(("\tTest stopped: " in text) == stopped and ("\tTest sampled: " in text) != stopped,
          f"{what}: says Test {'stopped' if stopped else 'sampled'}")
    check(f"\tHost: {info['LAB_TARGET_ADDR']}" in text, f"{what}: the host line names the target",
          re.search(r"\tHost: [^\r]*", text).group(0) if "\tHost: " in text else text[:300])
    report_support.tidy_ok(path, what)

    hops = int(info["LAB_HOPS"])
    body = table[1:]
    check(len(body) == hops + 1, f"{what}: {hops + 1} rows, this computer and {hops} hops", str(len(body)))
    strip, icon = expected_image_tables()
    header_icon = re.search(r'<td class="tdhx">\r\n(.*?)</td>\r\n<td class="hd">', text, re.S)
    check(header_icon is not None and icon_rows(header_icon.group(1)) == icon,
          f"{what}: the program icon is the 32 x 32 source icon, transparent where its mask is")
    cells = re.findall(r'\t\t<td class="tdx">\r\n(.*?)\t\t</td>\r\n', text, re.S)
    for k, row in enumerate(body):
        texts = [c[2].replace("\xa0", " ") for c in row["cells"]]
        styles = [c[1] for c in row["cells"]]
        address = info["LAB_CLIENT_ADDR"] if k == 0 else info[f"LAB_HOP_{k}"]
        name = info["LAB_CLIENT_NAME"] if k == 0 else info[f"LAB_HOP_{k}_NAME"]
        ok = (len(texts) == 12 and texts[0] == ("" if k == 0 else str(k)) and texts[1] == address
              and texts[2] in (name, "  --- looking up ---") and texts[3] == "0%"
              and texts[4].replace(",", "").isdigit() and texts[6] == "0")
        check(ok, f"{what}: row {k} is {address} ({name}), nothing lost", str(texts))
        check("#99FF99" in styles[3] and "#99FF99" in styles[6] and "#FFFFFF" in styles[1]
              and "#FFFFFF" in styles[4] and all(s.startswith("background-color: #") for s in styles),
              f"{what}: row {k} cell colours (green loss and lost, white address and Tx)", str(styles))
        image = 5 if k == 0 else 3 if k == hops else 0
        check(k < len(cells) and icon_rows(cells[k]) == strip[image],
              f"{what}: row {k} shows row image {image} pixel for pixel")


def inside(work, target):
    """Runs inside the client namespace on a private X server."""
    env = wine_env(work)
    wine = ["wine"]
    subprocess.run(["wineboot", "-i"], env=env, capture_output=True, timeout=300)
    browser = os.path.join(work, "browser.sh")
    log = os.path.join(work, "browser.log")
    with open(browser, "w") as f:
        f.write(f"#!/bin/sh\necho \"$@\" >> '{log}'\n")
    os.chmod(browser, 0o755)
    subprocess.run([*wine, "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/t", "REG_SZ",
                    "/d", browser, "/f"], env=env, capture_output=True, timeout=120)
    # Every run starts without a program for .html, as a prefix without Gecko is made.
    subprocess.run([*wine, "reg", "delete", r"HKCR\.html", "/f"], env=env, capture_output=True, timeout=120)
    temp_dirs = glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "Temp")) + \
        glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "AppData", "Local", "Temp"))
    for old in reports(temp_dirs):
        os.remove(old)

    proc = subprocess.Popen([*wine, HOPWATCH, target], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        wid = wait_for("window", lambda: window_id("^Hopwatch$"), 60)
        if not check(wid is not None, "the window is up"):
            return
        time.sleep(4)  # a few rounds of probes, one a second per hop
        # A prefix without Gecko has no program for .html: the file is written, then the open fails.
        press(wid, "alt+e")
        first = wait_for("report", lambda: reports(temp_dirs), 30)
        if not check(bool(first), "Export while running writes a report into Wine's TEMP", str(temp_dirs)):
            return
        box = wait_for("box", lambda: window_id("^Export Error$"), 30)
        shoot("gui-no-browser")
        check(box is not None, "without a program for .html an \"Export Error\" box says so")
        if box:
            press(box, "Return")
            wait_for("box closed", lambda: window_id("^Export Error$") is None, 20)

        # With .html associated to Wine's browser launcher the report is handed over.
        subprocess.run([*wine, "reg", "add", r"HKCR\.html", "/ve", "/t", "REG_SZ", "/d",
                        "htmlfile", "/f"], env=env, capture_output=True, timeout=120)
        press(wid, "alt+e")
        second = wait_for("report", lambda: [p for p in reports(temp_dirs) if p not in first], 30)
        if not check(bool(second), "a second Export writes a second report", str(first)):
            return
        name = os.path.basename(second[0])
        handed = wait_for("browser", lambda: os.path.exists(log) and name in open(log).read() and open(log).read(), 30)
        shoot("gui-running")
        check(bool(handed) and name in handed, "the report is handed to the browser (ShellExecute open)",
              str(handed))
        check(window_id("^Export Error$") is None, "no export error box this time")
        check_report(second[0], INFO, False, "running export")
        first = reports(temp_dirs)

        press(wid, "alt+s")  # Stop; the outstanding probes run out their 5 s time-out
        time.sleep(7)
        press(wid, "alt+e")
        third = wait_for("third report", lambda: [p for p in reports(temp_dirs) if p not in first], 30)
        shoot("gui-stopped")
        if check(bool(third), "Export after Stop writes another report"):
            check_report(third[0], INFO, True, "stopped export")
            shutil.copy(third[0], os.path.join(work, "stopped.html"))
        shutil.copy(second[0], os.path.join(work, "running.html"))
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            proc.kill()
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=60)


INFO = {}


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--inside":
        INFO.update(dict(a.split("=", 1) for a in sys.argv[4:]))
        inside(sys.argv[2], sys.argv[3])
        r = lab_support.results
        print(f"{r['passed']} passed, {r['failed']} failed")
        return 0 if r["failed"] == 0 else 1
    if not check(os.path.exists(HOPWATCH), "hopwatch.exe exists", HOPWATCH):
        return 1
    work = tempfile.mkdtemp(prefix="hopwatch-report-gui-")
    os.chmod(work, 0o755)
    code = 1
    try:
        lab_support.lab("up", "chain", "4")
        info = lab_support.lab_info()
        args = [f"{k}={v}" for k, v in info.items()]
        proc = subprocess.run(["ip", "netns", "exec", info["LAB_CLIENT_NS"], "xvfb-run", "-a", "-s",
                               "-screen 0 1024x700x24", sys.executable, os.path.abspath(__file__), "--inside",
                               work, info["LAB_TARGET_ADDR"], *args], timeout=600)
        code = proc.returncode
        for name in ("running", "stopped"):
            path = os.path.join(work, name + ".html")
            if os.path.exists(path):
                report_support.screenshot(path, f"report-gui-{name}")
        code = code or (1 if lab_support.results["failed"] else 0)
    finally:
        lab_support.lab("down")
        shutil.rmtree(work, ignore_errors=True)
    print("exit", code)
    return code


if __name__ == "__main__":
    sys.exit(main())
