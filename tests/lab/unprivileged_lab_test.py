#!/usr/bin/env python3
"""Probing without rights in the lab. hopwatch-console as the user nobody (ICMP datagram sockets,
which the client namespace allows through net.ipv4.ping_group_range) finds the same rows, notes
and loss as the raw socket as root, run side by side; with the range closed it says what to do
and exits 1. Under Wine, /method system (the system's ICMP service) traces as the raw socket."""
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # the console test is imported: no cache beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import check, lab, lab_info, results  # noqa: E402
from console_lab_test import NATIVE, WINDOWS, WINE_PREFIX, WINE_RUN, num, parse_csv, primary, stop_wine  # noqa: E402

RAW_LINE = "hopwatch-console: probe method: raw (a raw ICMP socket)"
DATAGRAM_LINE = "hopwatch-console: probe method: datagram (ICMP datagram sockets, which need no root)"
SERVICE_LINE = ("hopwatch-console: probe method: system (the system's ICMP service, which needs no "
                "administrator rights)")


def start(who, args):
    """Starts the console in the client namespace: "root" (raw socket), "nobody" (no rights) or
    "wine" (the Windows console as root, through the system's ICMP service)."""
    if who == "wine":
        cmd = [WINE_RUN, WINDOWS, "/method", "system", *args]
        env = dict(os.environ, HOPWATCH_WINEPREFIX=WINE_PREFIX)
    else:
        cmd = ([NATIVE, "/method", "raw"] if who == "root" else ["runuser", "-u", "nobody", "--", NATIVE]) + args
        env = dict(os.environ)
    return subprocess.Popen(["ip", "netns", "exec", "hwc", *cmd], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)


def finish(proc, timeout=120):
    try:
        out, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, err = proc.communicate()
    return proc.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")


def run_side_by_side(whos, target, seconds):
    """The same run for each of whos at once; {who: (exit, rows, stderr)}."""
    args = ["/norecord", "/nodns", "/int", "50", "/to", "500", "/time", str(seconds), "/csv", target]
    procs = {who: start(who, args) for who in whos}
    runs = {}
    for who, proc in procs.items():
        code, out, err = finish(proc)
        runs[who] = (code, parse_csv(out), err)
        check(code == 0 and runs[who][1], f"{who}: the console ran and printed its rows",
              f"exit {code}\nstdout: {out[:600]}\nstderr: {err[:600]}")
    return runs


def shape(rows, loss_exact=True):
    """What must agree between the ways: each hop's address, image, note and whether it lost
    probes; an aggregate's alternatives as a set."""
    result = []
    for r in rows:
        lost = num(r, "lost")
        ended = num(r, "received") + lost == num(r, "sent") if r["image"] != "2" else True
        result.append((r["ttl"] if r["image"] != "2" else "alt", r["address"].strip() if r["image"] != "2" else "",
                       r["image"], r["note"], (lost > 0) if loss_exact else None, ended))
    alternatives = sorted(r["address"].strip() for r in rows if r["image"] == "2")
    return result, alternatives


def compare(scenario, runs, base, other, loss_exact=True):
    (_, base_rows, _), (_, rows, _) = runs[base], runs[other]
    check(shape(rows, loss_exact) == shape(base_rows, loss_exact),
          f"{scenario}: {other} finds the rows, notes and losses that {base} finds",
          f"{base}: {shape(base_rows, loss_exact)}\n{other}: {shape(rows, loss_exact)}")


def check_lines(scenario, runs):
    for who, line in (("root", RAW_LINE), ("nobody", DATAGRAM_LINE), ("wine", SERVICE_LINE)):
        if who in runs:
            lines = runs[who][2].strip().splitlines()
            if who == "wine":  # a prefix made on the way prints Wine's own notices first
                lines = [text for text in lines if text.startswith("hopwatch-console")]
            first = lines[:1]
            check(first == [line], f"{scenario}: {who} says first how it probes", runs[who][2][:300])


def scenario_same_rows(scenario, info, whos=("root", "nobody"), seconds=2.5):
    runs = run_side_by_side(whos, info["LAB_TARGET_ADDR"], seconds)
    check_lines(scenario, runs)
    compare(scenario, runs, "root", "nobody")
    return runs


def scenario_chain(info):
    runs = scenario_same_rows("chain", info, ("root", "nobody", "wine"))
    rows = runs["nobody"][1]
    target = primary(rows, int(info["LAB_HOPS"]))
    check(target is not None and target["image"] == "3" and num(target, "received") == num(target, "sent") > 0
          and 0 < float(target["min_ms"]) < 50, "chain: nobody reaches the target, every probe timed", str(target))
    compare("chain", runs, "root", "wine")


def scenario_split(info):
    runs = scenario_same_rows("split", info, ("root", "nobody", "wine"))
    compare("split", runs, "root", "wine")
    for who in ("nobody", "wine"):
        rows = runs[who][1]
        alternatives = sorted(r["address"].strip() for r in rows if r["image"] == "2")
        check(alternatives == sorted([info["LAB_SPLIT_A"], info["LAB_SPLIT_B"]]),
              f"split: {who} shows both routers of hop {info['LAB_SPLIT_HOP']}", str(rows))


def scenario_unreach(info):
    code = info["LAB_UNREACH_CODE"]
    whos = ("root", "nobody", "wine") if code == "13" else ("root", "nobody")
    runs = scenario_same_rows(f"unreach {code}", info, whos)
    hop = primary(runs["nobody"][1], int(info["LAB_UNREACH_HOP"]))
    check(hop is not None and hop["note"] != "" and num(hop, "lost") == num(hop, "sent") > 0,
          f"unreach {code}: nobody notes the hop and counts its probes lost", str(hop))
    if "wine" in runs:
        # The service names no code 13: it reports the filter as host unreachable.
        hop = primary(runs["wine"][1], int(info["LAB_UNREACH_HOP"]))
        check(hop is not None and hop["note"] == "Host Unreachable" and num(hop, "lost") == num(hop, "sent") > 0,
              "unreach 13: the system's ICMP service shows the unreachable note", str(hop))


def scenario_loss(info):
    runs = run_side_by_side(("root", "nobody"), info["LAB_TARGET_ADDR"], 3)
    # A lost probe of the first salvo can let the target answer one hop further out first; the
    # route then keeps that hop as well, on either way, as chance has it: the rows up to the
    # target are compared.
    for who in runs:
        runs[who] = (runs[who][0], [r for r in runs[who][1] if int(r["ttl"] or 0) <= int(info["LAB_HOPS"])],
                     runs[who][2])
    compare("loss", runs, "root", "nobody", loss_exact=False)
    h = int(info["LAB_LOSS_HOP"])
    for who in ("root", "nobody"):
        rows = runs[who][1]
        before = [primary(rows, k) for k in range(1, h)]
        after = [primary(rows, k) for k in range(h, int(info["LAB_HOPS"]) + 1)]
        check(all(r is not None and num(r, "lost") == 0 for r in before)
              and all(r is not None and 0.15 < num(r, "lost") / max(num(r, "sent"), 1) < 0.65 for r in after),
              f"loss: {who} loses about 40 % from hop {h} on and nothing before",
              [(r or {}).get("lost") for r in before + after])


def scenario_closed(info):
    """net.ipv4.ping_group_range closed ("1 0"): no raw socket, no datagram socket."""
    range_before = subprocess.run(["ip", "netns", "exec", "hwc", "sysctl", "-n", "net.ipv4.ping_group_range"],
                                  capture_output=True, text=True, timeout=30).stdout.strip()
    subprocess.run(["ip", "netns", "exec", "hwc", "sysctl", "-q", "-w", "net.ipv4.ping_group_range=1 0"],
                   check=True, timeout=30)
    try:
        code, out, err = finish(start("nobody", ["/norecord", "/time", "1", info["LAB_TARGET_ADDR"]]))
    finally:
        subprocess.run(["ip", "netns", "exec", "hwc", "sysctl", "-q", "-w",
                        f"net.ipv4.ping_group_range={range_before}"], check=True, timeout=30)
    check(code == 1 and "not allowed for this user's group" in err and "net.ipv4.ping_group_range" in err
          and "CAP_NET_RAW" in err and "root" in err,
          "closed: without rights and without datagram sockets the console says what to do and exits 1",
          f"exit {code}\n{err}")


SCENARIOS = [
    (["chain", "6"], [scenario_chain, scenario_closed]),
    (["split"], [scenario_split]),
    (["unreach", "13"], [scenario_unreach]),
    (["unreach", "1"], [scenario_unreach]),
    (["unreach", "3"], [scenario_unreach]),
    (["silent"], [lambda info: scenario_same_rows("silent", info)]),
    (["loss", "40"], [scenario_loss]),
    (["long"], [lambda info: scenario_same_rows("long", info)]),
]


def main():
    begun = time.time()
    check(os.path.exists(NATIVE) and os.path.exists(WINDOWS), "both console builds exist", f"{NATIVE} / {WINDOWS}")
    try:
        for scenario, checks in SCENARIOS:
            lab("up", *scenario)
            info = lab_info()
            started = time.time()
            try:
                for fn in checks:
                    try:
                        fn(info)
                    except Exception as e:  # a crash of the check is a failure, not an abort
                        check(False, f"{' '.join(scenario)} ran", repr(e))
            finally:
                stop_wine()
            print(f"# {' '.join(scenario)}: {time.time() - started:.1f} s")
    finally:
        stop_wine()
        lab("down")
    print(f"# all: {time.time() - begun:.1f} s")
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
