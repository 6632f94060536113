#!/usr/bin/env python3
"""Runs hopwatch-console (native and under Wine) against the network lab and checks what it finds;
the checks for scripts (JSON, count, "replies limited") live in console_script_checks.py."""
import csv
import io
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import ROOT, check, lab, lab_info, results  # noqa: E402,F401
NATIVE = os.path.join(os.environ.get("HOPWATCH_NATIVE_BUILD", os.path.join(ROOT, "build", "native")), "hopwatch-console")
WINDOWS = os.path.join(os.environ.get("HOPWATCH_WINDOWS_BUILD", os.path.join(ROOT, "build", "windows")), "hopwatch-console.exe")
TSAN = os.path.join(os.environ.get("HOPWATCH_TSAN_BUILD", os.path.join(ROOT, "build", "native-tsan")), "hopwatch-console")
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
# The Wine server must run inside the client namespace, so the lab gets a prefix of its own.
WINE_PREFIX = os.environ.get("HOPWATCH_LAB_WINEPREFIX", "/tmp/hopwatch-wine-lab")


def stop_wine():
    env = dict(os.environ, WINEPREFIX=WINE_PREFIX)
    subprocess.run(["ip", "netns", "exec", "hwc", "wineserver", "-k"], env=env,
                   capture_output=True, timeout=60)


def run_console(flavour, args, timeout=120):
    """Runs the console inside the client namespace; returns (exit code, stdout, stderr)."""
    if flavour == "native":
        cmd = [NATIVE, *args]
        env = dict(os.environ)
    elif flavour == "tsan":
        cmd = [TSAN, *args]
        env = dict(os.environ, TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1")
    else:
        cmd = [WINE_RUN, WINDOWS, *args]
        env = dict(os.environ, HOPWATCH_WINEPREFIX=WINE_PREFIX)
    proc = subprocess.run(["ip", "netns", "exec", "hwc", *cmd], env=env, capture_output=True,
                          timeout=timeout)
    return proc.returncode, proc.stdout.decode("utf-8", "replace"), proc.stderr.decode("utf-8", "replace")


def parse_csv(text):
    """The CSV block: header line and one dict per row, in row order."""
    lines = text.replace("\r\n", "\n")
    start = lines.find("row,ttl,image,")
    if start < 0:
        return []
    return list(csv.DictReader(io.StringIO(lines[start:])))


def primary(rows, ttl):
    for r in rows:
        if r["image"] != "2" and r["ttl"] == str(ttl):
            return r
    return None


def num(row, key):
    return int(row[key]) if row and row.get(key) not in (None, "") else 0


def run_csv(flavour, scenario, args, timing=("/int", "100", "/to", "500", "/time", "4")):
    code, out, err = run_console(flavour, ["/nodns", *timing, "/csv", *args])
    rows = parse_csv(out)
    check(code == 0 and rows, f"{flavour} {scenario}: console ran and printed CSV",
          f"exit {code}\nstdout: {out[:800]}\nstderr: {err[:800]}")
    return rows, out, err


def scenario_chain(flavour, info):
    # The settings' own interval and time-out, as a user would run it.
    rows, out, err = run_csv(flavour, "chain", ["/history", "8", info["LAB_TARGET_ADDR"]], timing=("/time", "5"))
    hops = int(info["LAB_HOPS"])
    for k in range(1, hops + 1):
        r = primary(rows, k)
        check(r is not None and r["address"] == info[f"LAB_HOP_{k}"] and num(r, "sent") > 0 and num(r, "lost") == 0
              and num(r, "received") == num(r, "sent"),
              f"{flavour} chain: hop {k} is {info[f'LAB_HOP_{k}']}, every probe answered", str(r))
    last = primary(rows, hops)
    check(last is not None and last["image"] == "3", f"{flavour} chain: hop {hops} is the target", str(last))
    check(len(rows) == hops + 1, f"{flavour} chain: the route ends at the target ({hops + 1} rows)", f"{len(rows)} rows")
    hop0 = primary(rows, 0)
    check(hop0 is not None and hop0["image"] == "5" and hop0["address"] == info["LAB_CLIENT_ADDR"],
          f"{flavour} chain: hop 0 is this computer", str(hop0))
    hist = (last or {}).get("history", "").split()
    check(4 <= len(hist) <= 8 and all(float(v) > 0 or v in ("-1", "-2") for v in hist) and any(float(v) > 0 for v in hist),
          f"{flavour} chain: /history prints the newest outcomes of the target", str(hist))


def scenario_silent(flavour, info):
    rows, _, _ = run_csv(flavour, "silent", [info["LAB_TARGET_ADDR"]])
    h = int(info["LAB_SILENT_HOP"])
    r = primary(rows, h)
    check(r is not None and num(r, "sent") > 0 and num(r, "received") == 0 and r["address"] == "",
          f"{flavour} silent: hop {h} is probed but never answers", str(r))
    after = primary(rows, h + 1)
    check(after is not None and after["address"] == info[f"LAB_HOP_{h + 1}"] and num(after, "received") > 0,
          f"{flavour} silent: hop {h + 1} behind it answers", str(after))


def scenario_split(flavour, info):
    rows, _, _ = run_csv(flavour, "split", [info["LAB_TARGET_ADDR"]])
    h = int(info["LAB_SPLIT_HOP"])
    idx = next((i for i, r in enumerate(rows) if r["image"] == "1" and r["ttl"] == str(h)), None)
    check(idx is not None and rows[idx]["address"] == "" and rows[idx]["name"] == "* 2 alternative routes *",
          f"{flavour} split: hop {h} is an aggregate row of 2 alternative routes", str(rows[idx] if idx is not None else rows))
    if idx is None:
        return
    alts = rows[idx + 1:idx + 3]
    addrs = sorted(r["address"].strip() for r in alts)
    check(len(alts) == 2 and all(r["image"] == "2" for r in alts) and addrs == sorted([info["LAB_SPLIT_A"], info["LAB_SPLIT_B"]]),
          f"{flavour} split: both routers follow the aggregate row", str(alts))
    total = num(rows[idx], "received")
    shares = [num(r, "received") / total if total else 0 for r in alts]
    check(total > 0 and all(0.3 <= s <= 0.7 for s in shares),
          f"{flavour} split: each router answers about half of the probes", f"total {total}, shares {shares}")
    after = primary(rows, h + 1)
    check(after is not None and after["address"] == info[f"LAB_HOP_{h + 1}"],
          f"{flavour} split: hop {h + 1} has one address", str(after))


def scenario_unreach(flavour, info):
    rows, _, _ = run_csv(flavour, "unreach", ["/history", "8", info["LAB_TARGET_ADDR"]])
    h = int(info["LAB_UNREACH_HOP"])
    r = primary(rows, h)
    check(r is not None and r["note"] == "Communication administratively prohibited by filtering"
          and num(r, "lost") > 0 and num(r, "received") == 0,
          f"{flavour} unreach: hop {h} notes the filter and counts its probes lost", str(r))
    before = primary(rows, h - 1)
    check(before is not None and before["note"] == "" and num(before, "lost") == 0,
          f"{flavour} unreach: hop {h - 1} is unaffected", str(before))
    # Every probe has ended once the run has: none is still marked as awaiting its reply, and
    # the unreachable answers show as probes without a usable reply.
    awaiting = [(r["row"], r["history"]) for r in rows if "-1" in r.get("history", "").split()]
    check(rows and not awaiting, f"{flavour} unreach: no history value awaits a reply after the run",
          str(awaiting))
    hist = (r or {}).get("history", "").split()
    check(len(hist) > 0 and all(v == "-2" for v in hist),
          f"{flavour} unreach: hop {h}'s history shows its probes without a usable reply", str(hist))


def scenario_loss(flavour, info):
    rows, _, _ = run_csv(flavour, "loss", [info["LAB_TARGET_ADDR"]])
    h = int(info["LAB_LOSS_HOP"])
    for k in range(1, h):
        r = primary(rows, k)
        check(r is not None and num(r, "lost") == 0 and num(r, "sent") > 0, f"{flavour} loss: hop {k} loses nothing", str(r))
    for k in range(h, int(info["LAB_HOPS"]) + 1):
        r = primary(rows, k)
        check(r is not None and 0 < num(r, "lost") < num(r, "sent"),
              f"{flavour} loss: hop {k} loses some probes", str(r))


def scenario_long(flavour, info):
    rows, _, _ = run_csv(flavour, "long", [info["LAB_TARGET_ADDR"]])
    r = primary(rows, 30)
    check(r is not None and r["image"] == "3" and r["address"] == info["LAB_TARGET_ADDR"] and len(rows) == 31,
          f"{flavour} long: the route completes at hop 30", f"{r}, {len(rows)} rows")


def run_title(err):
    """The run's title: the first line on standard error that is not one of the console's
    messages (such as the probe method)."""
    return next((l for l in err.splitlines() if l.strip() and not l.startswith("hopwatch-console: ")), "")


def scenario_names(flavour, info):
    # A typed name: the title shows the name and the address; the reverse name equals the typed
    # text, so nothing more is added. Hop names come from the client's hosts file.
    code, out, err = run_console(flavour, ["/int", "100", "/to", "500", "/time", "4", "/csv", info["LAB_TARGET_NAME"]])
    rows = parse_csv(out)
    title = run_title(err)
    check(code == 0 and title == f"{info['LAB_TARGET_NAME']} -> {info['LAB_TARGET_ADDR']}",
          f"{flavour} names: the title of a typed name is name -> address", f"exit {code}, title {title!r}\n{err[:500]}")
    hop0 = primary(rows, 0)
    check(hop0 is not None and hop0["image"] == "5" and hop0["address"] == info["LAB_CLIENT_ADDR"]
          and hop0["name"] == info["LAB_CLIENT_NAME"], f"{flavour} names: hop 0 is this computer, named", str(hop0))
    for k in range(1, int(info["LAB_HOPS"]) + 1):
        r = primary(rows, k)
        check(r is not None and r["name"] == info[f"LAB_HOP_{k}_NAME"],
              f"{flavour} names: hop {k} is named {info[f'LAB_HOP_{k}_NAME']}", str(r))
    # A typed address: the title grows by the target's reverse name.
    code, out, err = run_console(flavour, ["/int", "100", "/to", "500", "/time", "3", "/csv", info["LAB_TARGET_ADDR"]])
    title = run_title(err)
    check(code == 0 and title == f"{info['LAB_TARGET_ADDR']} -> {info['LAB_TARGET_NAME']}",
          f"{flavour} names: the title of a typed address ends with the reverse name", f"title {title!r}")
    # Table mode prints the title as the first line.
    code, out, err = run_console(flavour, ["/nocolor", "/int", "100", "/to", "500", "/time", "2", info["LAB_TARGET_NAME"]])
    first = out.strip().splitlines()[0] if out.strip() else ""
    check(code == 0 and first == f"{info['LAB_TARGET_NAME']} -> {info['LAB_TARGET_ADDR']}" and "Host Name" in out,
          f"{flavour} names: the table view starts with the title", out[:500])


# A name server inside the lab that never answers: resolv.conf names an address in the target's
# namespace where an nftables rule drops every DNS packet, and the hosts file has no lab names.
# Lookups time out after a second each, so the run ends with lookups still queued or running.
SILENT_DNS_ADDR = "203.0.113.53"


def setup_silent_dns(info, options="timeout:1 attempts:1"):
    with open("/etc/netns/hwc/resolv.conf", "w") as f:
        f.write(f"nameserver {SILENT_DNS_ADDR}\noptions {options}\n")
    with open("/etc/netns/hwc/hosts", "w") as f:
        f.write("127.0.0.1 localhost\n")
    subprocess.run(["ip", "-n", info["LAB_TARGET_NS"], "addr", "add", f"{SILENT_DNS_ADDR}/32", "dev", "lo"],
                   check=True, timeout=30)
    rules = ("table ip silentdns {\n"
             "  chain in { type filter hook input priority 0; policy accept;\n"
             f"    ip daddr {SILENT_DNS_ADDR} udp dport 53 counter drop\n"
             f"    ip daddr {SILENT_DNS_ADDR} tcp dport 53 counter drop\n  }}\n}}\n")
    subprocess.run(["ip", "netns", "exec", info["LAB_TARGET_NS"], "nft", "-f", "-"], input=rules, text=True,
                   check=True, timeout=30)


def dropped_dns_packets(info):
    out = subprocess.run(["ip", "netns", "exec", info["LAB_TARGET_NS"], "nft", "list", "table", "ip", "silentdns"],
                         capture_output=True, text=True, timeout=30).stdout
    return sum(int(n) for n in re.findall(r"counter packets (\d+)", out))


def scenario_silent_dns(flavour, info):
    before = dropped_dns_packets(info)
    started = time.time()
    code, out, err = run_console(flavour, ["/int", "100", "/to", "500", "/time", "3", "/csv", info["LAB_TARGET_ADDR"]])
    took = time.time() - started
    rows = parse_csv(out)
    check(code == 0 and len(rows) == int(info["LAB_HOPS"]) + 1,
          f"{flavour} silent dns: the run completes the route and ends", f"exit {code}\n{err[:500]}")
    check(dropped_dns_packets(info) > before, f"{flavour} silent dns: the lookups went to the silent name server")
    markers = [(r["row"], r["name"]) for r in rows if "looking up" in r["name"]]
    check(rows and not markers, f"{flavour} silent dns: no row keeps the look-up marker as its name", str(markers))
    check(all(r["name"] == "" for r in rows), f"{flavour} silent dns: no names came",
          str([r["name"] for r in rows]))
    check(took < 30, f"{flavour} silent dns: the run ends within its time plus one lookup", f"{took:.1f} s")


def scenario_threads(flavour, info):
    """A real run with both workers under ThreadSanitizer: no race, no lock-order report."""
    if not os.path.exists(TSAN):
        check(False, "tsan: the ThreadSanitizer console build exists", TSAN)
        return
    code, out, err = run_console("tsan", ["/int", "50", "/to", "500", "/time", "4", "/csv", info["LAB_TARGET_NAME"]])
    rows = parse_csv(out)
    check(code == 0 and "ThreadSanitizer" not in err and len(rows) == int(info["LAB_HOPS"]) + 1,
          "tsan: a real run with name lookups is free of data races", f"exit {code}\n{err[-1500:]}")


def scenario_errors(flavour, info):
    code, out, err = run_console(flavour, ["/time", "1", "nohost.invalid"])
    check(code == 1 and err.strip() != "", f"{flavour} errors: an unresolvable host exits with 1 and says so", f"exit {code} {err[:300]}")
    code, out, err = run_console(flavour, ["/ttl", "0", info["LAB_TARGET_ADDR"]])
    check(code == 2 and "/ttl" in err, f"{flavour} errors: a bad option exits with 2 and says so", f"exit {code} {err[:300]}")


def script_check(name):
    """A check of console_script_checks.py, which imports this module, so it is imported late."""
    def run(flavour, info):
        import console_script_checks  # noqa: E402
        getattr(console_script_checks, name)(flavour, info)
    run.__name__ = name
    return run


scenario_json = script_check("json_on")


# (lab scenario, checks, set-up run after the lab is up; "lab down" undoes it with the rest)
SCENARIOS = [
    (["chain", "6"], [scenario_chain, scenario_names, scenario_errors, scenario_json, script_check("odd_names")],
     None),
    (["chain", "6"], [scenario_silent_dns], setup_silent_dns),
    (["silent"], [scenario_silent, scenario_json], None),
    (["split"], [scenario_split, scenario_json], None),
    (["unreach", "13"], [scenario_unreach, scenario_json], None),
    (["loss", "30"], [scenario_loss, scenario_json], None),
    (["long"], [scenario_long, scenario_json], None),
    (["loss", "40"], [scenario_json, script_check("count_on_lossy_route")], None),
    (["ratelimit"], [scenario_json, script_check("replies_limited")], None),
]


def main():
    flavours = []
    if os.path.exists(NATIVE):
        flavours.append("native")
    if os.path.exists(WINDOWS):
        flavours.append("wine")
    check(len(flavours) == 2, "both console builds exist", f"{NATIVE} / {WINDOWS}")
    try:
        for scenario, checks, setup in SCENARIOS:
            lab("up", *scenario)
            info = lab_info()
            try:
                if setup is not None:
                    setup(info)
                if scenario[0] == "chain" and setup is None:
                    scenario_threads("tsan", info)
                for flavour in flavours:
                    for fn in checks:
                        started = time.time()
                        try:
                            fn(flavour, info)
                        except Exception as e:  # a crash of the check is a failure, not an abort
                            check(False, f"{flavour} {fn.__name__}", repr(e))
                        print(f"# {flavour} {fn.__name__}: {time.time() - started:.1f} s")
            finally:
                stop_wine()
    finally:
        stop_wine()
        lab("down")
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
