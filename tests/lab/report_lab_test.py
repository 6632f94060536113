#!/usr/bin/env python3
"""HTML report of hopwatch-console in the network lab: table against the run's CSV, tidy, Chromium."""
import html.parser
import os
import shutil
import stat
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import console_lab_test as lab_support  # noqa: E402  (lab helpers: lab(), run_console(), check())

check = lab_support.check
ROOT = lab_support.ROOT
SCREENS = os.path.join(os.environ.get("HOPWATCH_NATIVE_BUILD", os.path.join(ROOT, "build", "native")),
                       "report-screens")
TIMING = ["/int", "100", "/to", "500", "/time", "2"]


class ReportTable(html.parser.HTMLParser):
    """Rows of the results table (the first of class "tb"; the timeline's events table that may
    follow shares its class): per row its cells as (class, style, text) and the number of icon
    tables in its icon cell."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows = []
        self.depth = 0        # nesting of tables inside the results table
        self.cell = None
        self.in_icon = False
        self.done = False     # the results table has ended

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "table":
            if self.depth or (a.get("class") == "tb" and not self.done):
                self.depth += 1
                if self.depth == 2 and self.in_icon:
                    self.rows[-1]["icons"] += 1
            return
        if self.depth != 1:
            return
        if tag == "tr":
            self.rows.append({"cells": [], "icons": 0, "icon_cell": False})
        elif tag in ("td", "th"):
            cls = a.get("class", "")
            if cls in ("tdx", "thx"):
                self.in_icon = True
                self.rows[-1]["icon_cell"] = True
            else:
                self.cell = [cls, a.get("style", ""), ""]

    def handle_endtag(self, tag):
        if tag == "table" and self.depth:
            self.depth -= 1
            self.done = self.depth == 0
        elif self.depth == 1 and tag in ("td", "th"):
            if self.cell is not None:
                self.rows[-1]["cells"].append(tuple(self.cell))
            self.cell = None
            self.in_icon = False

    def handle_data(self, data):
        if self.cell is not None and self.depth == 1:
            self.cell[2] += data


def parse_report(path):
    with open(path, "rb") as f:
        raw = f.read()
    table = ReportTable()
    table.feed(raw.decode("utf-8"))
    return raw, table.rows


def tidy_ok(path, what):
    proc = subprocess.run(["tidy", "-errors", "-q", path], capture_output=True, text=True, timeout=60)
    errors = [l for l in proc.stderr.splitlines() if "Error:" in l]
    return check(proc.returncode < 2 and not errors, f"{what}: HTML 4.01 Transitional check has no errors",
                 proc.stderr[:1500])


def screenshot(path, name):
    """Renders the file in headless Chromium with no network at all (an empty network namespace)."""
    chromium = shutil.which("chromium")
    if not check(chromium is not None, f"{name}: chromium is installed"):
        return
    os.makedirs(SCREENS, exist_ok=True)
    png = os.path.join(SCREENS, name + ".png")
    if os.path.exists(png):
        os.remove(png)
    profile = tempfile.mkdtemp(prefix="hopwatch-chromium-")
    try:
        proc = subprocess.run(
            ["unshare", "--net", chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", f"--user-data-dir={profile}", "--window-size=1200,700",
             f"--screenshot={png}", "file://" + path],
            capture_output=True, text=True, timeout=120)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    size = os.path.getsize(png) if os.path.exists(png) else 0
    check(size > 5000, f"{name}: headless Chromium rendered it to {png}",
          f"exit {proc.returncode}, {size} bytes\n{proc.stderr[-800:]}")


def grouped(text):
    return text.replace(",", "").strip()


def compare_with_csv(flavour, rows_csv, rows_html, icons):
    header, body = rows_html[0], rows_html[1:]
    columns = [c[2] for c in header["cells"]]
    check(columns[:4] == ["TTL", "Address", "Host Name", "Loss"] and len(columns) == 12,
          f"{flavour}: the header has the list's twelve columns", str(columns))
    check(header["cells"][0][0] == "thr", f"{flavour}: the TTL header is right-aligned", str(header["cells"][0]))
    check(len(body) == len(rows_csv), f"{flavour}: one table row per list row", f"{len(body)} vs {len(rows_csv)}")
    for i, (r, h) in enumerate(zip(rows_csv, body)):
        texts = [c[2].replace("\xa0", " ") for c in h["cells"]]
        ttl = "" if r["ttl"] == "0" else r["ttl"]
        same = (len(texts) == 12 and texts[0] == ttl and texts[1].strip() == r["address"].strip()
                and texts[2] == r["name"] and grouped(texts[4]) == r["sent"] and grouped(texts[5]) == r["received"]
                and grouped(texts[6]) == ("" if r["sent"] == "0" else r["lost"]))
        check(same, f"{flavour}: row {i} shows the run's TTL, address, name and counts", f"{texts} vs {dict(r)}")
        styles = [c[1] for c in h["cells"]]
        check(all(s.startswith("background-color: #") for s in styles) and "#FFFFFF" in styles[1],
              f"{flavour}: row {i} carries a colour per cell, white for the address", str(styles))
        if r["sent"] != "0" and r["lost"] == "0":
            check("#99FF99" in styles[6], f"{flavour}: row {i} without losses has a green Lost cell", styles[6])
        check(h["icons"] == (1 if icons else 0) and h["icon_cell"] == bool(icons),
              f"{flavour}: row {i} has {'one icon' if icons else 'no icon cell'}", str(h["icons"]))


def run_report(flavour, info, args, html_path):
    code, out, err = lab_support.run_console(flavour, [*TIMING, "/csv", *args, "/html", html_path,
                                                       info["LAB_TARGET_ADDR"]])
    rows = lab_support.parse_csv(out)
    check(code == 0 and rows, f"{flavour}: console ran with /html", f"exit {code}\n{out[:600]}\n{err[:600]}")
    return rows


def native_checks(info, work):
    path = os.path.join(work, "native-icons.html")
    rows = run_report("native", info, ["/icons"], path)
    raw, table = parse_report(path)
    check(raw.startswith(b"<!DOCTYPE HTML PUBLIC"), "native: the file starts with the doctype, no mark")
    compare_with_csv("native", rows, table, True)
    tidy_ok(path, "native with icons")
    screenshot(path, "report-native-icons")

    plain = os.path.join(work, "native-plain.html")
    rows = run_report("native", info, ["/noicons"], plain)
    _, table = parse_report(plain)
    compare_with_csv("native /noicons", rows, table, False)
    with open(plain, "rb") as f:
        text = f.read().decode("utf-8")
    check(all(p not in text for p in ("tdhx", "thx", "tdx", "tbi")), "native /noicons: no icon pieces")
    tidy_ok(plain, "native without icons")

    # /export: the temporary directory (TMPDIR), the export's name, owner-only.
    tmp = os.path.join(work, "tmpdir")
    os.mkdir(tmp)
    env = dict(os.environ, TMPDIR=tmp)
    proc = subprocess.run(["ip", "netns", "exec", info["LAB_CLIENT_NS"], lab_support.NATIVE, *TIMING, "/export",
                           info["LAB_TARGET_ADDR"]], env=env, capture_output=True, text=True, timeout=60)
    names = os.listdir(tmp)
    exported = os.path.join(tmp, names[0]) if len(names) == 1 else ""
    check(proc.returncode == 0 and len(names) == 1 and names[0].startswith("Hopwatch_Result_")
          and names[0].endswith(".html") and exported in proc.stdout,
          "native /export: one report in TMPDIR, its path printed", f"{names}\n{proc.stdout[-300:]}\n{proc.stderr}")
    if exported:
        check(stat.S_IMODE(os.stat(exported).st_mode) == 0o600, "native /export: readable by its owner only")


def wine_checks(info, work):
    if not os.path.exists(lab_support.WINDOWS):
        check(False, "wine: hopwatch-console.exe exists", lab_support.WINDOWS)
        return
    path = os.path.join(work, "wine-icons.html")
    rows = run_report("wine", info, ["/icons"], "Z:" + path.replace("/", "\\"))
    if not os.path.exists(path):
        check(False, "wine: the report file was written", path)
        return
    raw, table = parse_report(path)
    check(raw.startswith(b"<!DOCTYPE HTML PUBLIC"), "wine: the file starts with the doctype, no mark")
    compare_with_csv("wine", rows, table, True)
    tidy_ok(path, "wine with icons")


def main():
    work = tempfile.mkdtemp(prefix="hopwatch-report-lab-")
    try:
        lab_support.lab("up", "chain", "4")
        info = lab_support.lab_info()
        try:
            for fn in (native_checks, wine_checks):
                try:
                    fn(info, work)
                except Exception as e:  # a crash of the checks is a failure, not an abort
                    check(False, fn.__name__, repr(e))
        finally:
            lab_support.stop_wine()
    finally:
        lab_support.lab("down")
        shutil.rmtree(work, ignore_errors=True)
    r = lab_support.results
    print(f"{r['passed']} passed, {r['failed']} failed")
    return 0 if r["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
