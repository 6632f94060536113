#!/usr/bin/env python3
"""An outage in the middle of a run: the client's route is removed for 5 s of a 20-s run of
hopwatch-console (native and under Wine) and put back. The run goes on to its end, the probes of
the outage count as lost with the system's reason in the note, and the hops answer again after.
Both builds run at the same time through the same outage."""
import os
import re
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import ROOT, check, lab, lab_info, results  # noqa: E402
from console_lab_test import NATIVE, WINDOWS, WINE_PREFIX, WINE_RUN, stop_wine  # noqa: E402

CLEAR = "\x1b[H\x1b[2J"
# A row of the table: TTL (blank for this computer), address, loss, Tx, Rx, Lost, the rest.
ROW = re.compile(r"^\s*(\d*)\s+(\d+\.\d+\.\d+\.\d+)\s+\d+%\s+(\d+)\s+(\d+)\s+(\d+)\s*(.*)$")
# The note of a send that failed: "Error " + ENETUNREACH natively, WSAENETUNREACH under Wine.
REASON = {"native": "Error 101: ", "wine": "Error 10051: "}


def rows_of(frame):
    """TTL -> (address, sent, received, lost, rest of the line) of every primary row."""
    rows = {}
    for line in frame.splitlines():
        m = ROW.match(line)
        if m:
            rows[int(m.group(1) or 0)] = (m.group(2), int(m.group(3)), int(m.group(4)),
                                         int(m.group(5)), m.group(6))
    return rows


def route(action, info):
    gateway = info["LAB_HOP_1"]
    subprocess.run(["ip", "-n", info["LAB_CLIENT_NS"], "route", action, "default", "via", gateway],
                   check=True, timeout=30)


class Run:
    """One hopwatch-console run, its live frames read on a thread as they come."""

    def __init__(self, flavour, info):
        self.flavour = flavour
        args = ["/live", "/nocolor", "/nodns", "/int", "100", "/to", "1000", "/ttl", "8", "/time",
                "20", info["LAB_TARGET_ADDR"]]
        if flavour == "native":
            cmd, env = [NATIVE, *args], dict(os.environ)
        else:
            cmd, env = [WINE_RUN, WINDOWS, *args], dict(os.environ, HOPWATCH_WINEPREFIX=WINE_PREFIX)
        self.frames = []  # (time.time(), frame text)
        self.proc = subprocess.Popen(["ip", "netns", "exec", info["LAB_CLIENT_NS"], *cmd], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.reader = threading.Thread(target=self.read)
        self.reader.start()

    def read(self):
        pending = ""
        while True:
            chunk = self.proc.stdout.read1(65536).decode("utf-8", "replace")
            if not chunk:
                break
            pending += chunk
            parts = pending.split(CLEAR)
            for part in parts[:-1]:
                self.frames.append((time.time(), part))
            pending = parts[-1]
        self.frames.append((time.time(), pending))

    def wait_for_rows(self):
        """Until the route's rows show (under Wine after a second or two); bounded."""
        deadline = time.time() + 60
        while time.time() < deadline and not any(len(rows_of(f)) >= 5 for _, f in self.frames):
            time.sleep(0.1)

    def finish(self):
        try:
            self.proc.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait(timeout=10)
        self.reader.join(timeout=10)
        return self.proc.stderr.read().decode("utf-8", "replace")


def check_run(run, info, down, up):
    flavour = run.flavour
    err = run.finish()
    check(run.proc.returncode == 0 and "Failed" not in err,
          f"{flavour}: the run goes on through the outage to its end",
          f"exit {run.proc.returncode} {err[:500]}")
    frames = run.frames
    during = [f for t, f in frames if down + 1.0 < t < up - 0.2 and rows_of(f)]
    final = rows_of(frames[-1][1]) if frames else {}
    hops = int(info["LAB_HOPS"])
    check(during and all(REASON[flavour] in rows_of(f)[k][4] for f in during[-1:] for k in range(1, hops + 1)),
          f"{flavour}: during the outage every hop's note gives the system's reason",
          during[-1] if during else "no frame during the outage")
    before_up = [f for t, f in frames if t < up and rows_of(f)]
    at_up = rows_of(before_up[-1]) if before_up else {}
    for k in range(1, hops + 1):
        address, sent, received, lost, rest = final.get(k, ("", 0, 0, 0, ""))
        check(address == info[f"LAB_HOP_{k}"] and 35 <= lost <= 65 and received + lost >= sent - 2,
              f"{flavour}: hop {k} counts the outage's probes, about 50, as lost", str(final.get(k)))
        check(k in at_up and received >= at_up[k][2] + 40 and REASON[flavour] not in rest,
              f"{flavour}: hop {k} answers again after the outage and its note is clear",
              f"at the end {final.get(k)}, when the route came back {at_up.get(k)}")


def scenario(flavours, info):
    """Both builds run side by side through one outage: Wine first, as it takes a second or two
    to start, then the native build once Wine's rows show; the route goes 5 s later and comes
    back 5 s after that, well inside both 20-s runs."""
    runs = []
    try:
        for flavour in reversed(flavours):
            runs.append(Run(flavour, info))
            runs[-1].wait_for_rows()
        time.sleep(5.0)
        route("del", info)
        down = time.time()
        time.sleep(5.0)
        route("add", info)
        up = time.time()
        for run in runs:
            check_run(run, info, down, up)
    finally:
        for run in runs:
            if run.proc.poll() is None:
                run.proc.kill()


def main():
    flavours = [f for f, path in (("native", NATIVE), ("wine", WINDOWS)) if os.path.exists(path)]
    check(len(flavours) == 2, "both console builds exist", f"{NATIVE} / {WINDOWS}")
    try:
        lab("up", "chain", "4")
        info = lab_info()
        try:
            scenario(flavours, info)
        except Exception as e:  # a crash of the check is a failure, not an abort
            check(False, "the outage scenario runs through", repr(e))
            subprocess.run(["ip", "-n", "hwc", "route", "replace", "default", "via",
                            info["LAB_HOP_1"]], capture_output=True, timeout=30)
    finally:
        stop_wine()
        lab("down")
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
