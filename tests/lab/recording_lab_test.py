#!/usr/bin/env python3
"""Recordings of hopwatch-console against the network lab: /replay of a complete run prints the
live run's rows (split, unreachable, silent hop, 40 % loss; native, and under Wine on the split);
a run killed with SIGKILL keeps every probe sent up to a second before the kill (native and under
Wine); a full disk (a small tmpfs as the recordings folder) stops the recording, not the run. The
files are read with an independent reader of docs/recording-format.md as well."""
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import check, lab, lab_info, results  # noqa: E402
from console_lab_test import NATIVE, WINDOWS, WINE_PREFIX, WINE_RUN, parse_csv, run_console, stop_wine  # noqa: E402
import recording_format  # noqa: E402

TIMING = ["/int", "100", "/to", "500"]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def console_path(flavour, path):
    return windows_path(path) if flavour == "wine" else path


def command(flavour, args):
    if flavour == "native":
        return ["ip", "netns", "exec", "hwc", NATIVE, *args], dict(os.environ)
    return (["ip", "netns", "exec", "hwc", WINE_RUN, WINDOWS, *args],
            dict(os.environ, HOPWATCH_WINEPREFIX=WINE_PREFIX))


def replay(flavour, path, *extra):
    return run_console(flavour, ["/replay", console_path(flavour, path), *extra])


def first_line(err):
    """The first line of standard error that is not one of the program's messages: the title."""
    lines = [l for l in err.replace("\r\n", "\n").split("\n") if l and not l.startswith("hopwatch-console:")]
    return lines[0] if lines else ""


def sent_per_hop(recording):
    counts = {}
    for o in recording["outcomes"]:
        if o["kind"] == recording_format.SENT:
            counts[o["hop"]] = counts.get(o["hop"], 0) + 1
    return counts


def scenario_replay(flavour, name, info, work):
    path = os.path.join(work, f"{flavour}-{name}.hwrec")
    code, out, err = run_console(flavour, [*TIMING, "/time", "3", "/csv", "/history", "6", "/record",
                                           console_path(flavour, path), info["LAB_TARGET_ADDR"]])
    live = parse_csv(out)
    check(code == 0 and len(live) > 3, f"{flavour} {name}: the live run printed its rows",
          f"exit {code}\n{out[:600]}\n{err[:600]}")
    code2, out2, err2 = replay(flavour, path, "/csv", "/history", "6")
    replayed = parse_csv(out2)
    check(code2 == 0 and replayed == live,
          f"{flavour} {name}: /replay prints the same rows, figures, notes, alternatives and histories",
          f"exit {code2} {err2[:300]}\nlive:\n{out[:1500]}\nreplay:\n{out2[:1500]}")
    if flavour == "native":
        scenario_json(name, info, path, live)
    title = first_line(err)
    check(title and first_line(err2) == title, f"{flavour} {name}: and the same title",
          f"{err[:200]!r} / {err2[:200]!r}")
    # The independent reader agrees: the probes sent to each hop shown.
    recording = recording_format.read(path)
    counts = sent_per_hop(recording)
    hops = [r for r in live if r["image"] != "2"]
    check(recording["status"] == "complete" and recording["header"]["target"] == info["LAB_TARGET_ADDR"]
          and all(counts.get(int(r["ttl"]), 0) == int(r["sent"]) for r in hops),
          f"{flavour} {name}: the format document reads the file to the same sends",
          f"{recording['status']} {counts} {[(r['ttl'], r['sent']) for r in hops]}")
    return live


def scenario_json(name, info, path, live):
    code, out, _ = replay("native", path, "--json")
    try:
        doc = json.loads(out)
    except ValueError:
        doc = {"rows": []}
    check(code == 0 and doc["rows"] and [(r["sent"], r["received"], r["lost"]) for r in doc["rows"]]
          == [(int(r["sent"]), int(r["received"]), int(r["lost"])) for r in live]
          and doc.get("settings", {}).get("time_s") == 3 and doc["target"]["text"] == info["LAB_TARGET_ADDR"],
          f"native {name}: /replay --json gives the run's document", out[:600])


def scenario_report(info, work):
    path = os.path.join(work, "native-split.hwrec")
    html = os.path.join(work, "replay.html")
    code, out, err = replay("native", path, "/html", html)
    text = open(html, encoding="utf-8").read() if os.path.exists(html) else ""
    check(code == 0 and info["LAB_SPLIT_A"] in text and "2&nbsp;alternative&nbsp;routes" in text,
          "native split: /replay /html writes the run's report", f"exit {code} {err[:300]}")


def nft_sent_count():
    out = subprocess.run(["ip", "netns", "exec", "hwc", "nft", "list", "table", "inet", "hwrec"],
                         capture_output=True, text=True, timeout=20).stdout
    m = re.search(r"packets (\d+)", out)
    return int(m.group(1)) if m else -1


def scenario_kill(flavour, info, work):
    """Every probe that left the client a second before the kill is in the recording."""
    subprocess.run(["ip", "netns", "exec", "hwc", "nft", "-f", "-"], input=(
        "table inet hwrec {\n chain out {\n  type filter hook output priority 0;\n"
        "  icmp type echo-request counter\n }\n}\n"), text=True, check=True, timeout=20)
    path = os.path.join(work, f"{flavour}-killed.hwrec")
    cmd, env = command(flavour, ["/nodns", *TIMING, "/record", console_path(flavour, path),
                                 info["LAB_TARGET_ADDR"]])
    proc = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # Wine takes a while to come up: wait for the first probes, then let the run go on.
        end = time.time() + 30
        while nft_sent_count() < 10 and time.time() < end:
            time.sleep(0.2)
        time.sleep(2.0)
        before = nft_sent_count()
        time.sleep(1.05)
        proc.send_signal(signal.SIGKILL)
        proc.wait(timeout=20)
    finally:
        if proc.poll() is None:
            proc.kill()
        subprocess.run(["ip", "netns", "exec", "hwc", "nft", "delete", "table", "inet", "hwrec"],
                       capture_output=True, timeout=20)
    recording = recording_format.read(path)
    sent = sum(sent_per_hop(recording).values())
    check(before > 10 and sent >= before and recording["status"] in ("cut off", "cut mid-frame"),
          f"{flavour} kill: every probe sent a second before SIGKILL is in the recording",
          f"{before} sent by then, {sent} recorded, {recording['status']}")
    code, out, err = replay(flavour, path, "/csv")
    rows = parse_csv(out)
    check(code == 3 and len(rows) >= int(info["LAB_HOPS"]) and "ends before its run did" in err,
          f"{flavour} kill: the recording opens, says it was cut off and shows the route",
          f"exit {code}\n{out[:600]}\n{err[:400]}")


def scenario_full_disk(info, work):
    state = os.path.join(work, "state")
    folder = os.path.join(state, "hopwatch", "recordings")
    os.makedirs(folder)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=8k,mode=0700", "tmpfs", folder], check=True, timeout=20)
    try:
        proc = subprocess.run(["ip", "netns", "exec", "hwc", NATIVE, "/nodns", "/int", "20", "/to", "500",
                               "/time", "4", "/csv", info["LAB_TARGET_ADDR"]],
                              env=dict(os.environ, XDG_STATE_HOME=state), capture_output=True, timeout=60)
        out, err = proc.stdout.decode(), proc.stderr.decode()
        rows = parse_csv(out)
        target = [r for r in rows if r["image"] == "3"]
        check(proc.returncode == 0 and target and int(target[0]["received"]) > 50,
              "full disk: the run completes with its results", f"exit {proc.returncode}\n{out[:500]}")
        check(err.count("The recording of this run stopped: ") == 1 and "No space left on device" in err,
              "full disk: it says once that the recording stopped, and why", err[:500])
        files = [os.path.join(folder, f) for f in os.listdir(folder)]
        code, _, err2 = replay("native", files[0], "/csv") if files else (None, "", "")
        check(len(files) == 1 and code == 3, "full disk: what was written reads as a cut-off recording",
              f"{files} exit {code} {err2[:300]}")
    finally:
        subprocess.run(["umount", folder], timeout=20)


def main():
    flavours = [f for f, exe in (("native", NATIVE), ("wine", WINDOWS)) if os.path.exists(exe)]
    check(len(flavours) == 2, "both console builds exist", f"{NATIVE} / {WINDOWS}")
    work = tempfile.mkdtemp(prefix="hopwatch-recording-lab-")
    try:
        for scenario, name in ((["split"], "split"), (["unreach", "13"], "unreachable"),
                               (["silent"], "silent"), (["loss", "40"], "loss")):
            lab("up", *scenario)
            info = lab_info()
            for flavour in (flavours if name == "split" else ["native"]):
                started = time.time()
                try:
                    scenario_replay(flavour, name, info, work)
                    if name == "split" and flavour == "native":
                        scenario_report(info, work)
                except Exception as e:  # a crash of the check is a failure, not an abort
                    check(False, f"{flavour} {name} ran", repr(e))
                print(f"# {flavour} {name}: {time.time() - started:.1f} s")
            stop_wine()
        lab("up", "chain", "6")
        info = lab_info()
        for flavour in flavours:
            started = time.time()
            try:
                scenario_kill(flavour, info, work)
            except Exception as e:
                check(False, f"{flavour} kill ran", repr(e))
            print(f"# {flavour} kill: {time.time() - started:.1f} s")
        started = time.time()
        try:
            scenario_full_disk(info, work)
        except Exception as e:
            check(False, "full disk ran", repr(e))
        print(f"# full disk: {time.time() - started:.1f} s")
    finally:
        stop_wine()
        lab("down")
        shutil.rmtree(work, ignore_errors=True)
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
