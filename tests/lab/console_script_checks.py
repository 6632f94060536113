"""Checks of hopwatch-console for scripts, run by console_lab_test.py on its scenarios: --json
against the schema and the run's own report, names that JSON must escape, -c on the 40 % loss
route, the "replies limited" note of rate-limiting routers."""
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import console_lab_test as cl  # noqa: E402  (run_console, parse_csv, the builds)
import report_lab_test as rl  # noqa: E402  (parse_report)

check = cl.check
SCHEMA = os.path.join(cl.ROOT, "docs", "json-schema.json")
# Debian's validator (python3-jsonschema), run by Debian's interpreter in isolated mode, so that
# no other installation of the module stands in for it.
VALIDATE = r"""
import json, sys, jsonschema
schema = json.load(open(sys.argv[1]))
jsonschema.Draft202012Validator.check_schema(schema)
document = json.loads(open(sys.argv[2], "rb").read().decode("utf-8"))
errors = list(jsonschema.Draft202012Validator(schema).iter_errors(document))
for e in errors[:5]:
    print(list(e.absolute_path), e.message[:300])
sys.exit(1 if errors else 0)
"""
FAST = ["-i", "100", "-w", "500"]
# The lab names one router so that JSON must escape it: quotes, backslashes, non-ASCII.
ODD_NAME = 'r2"quo\\te\\\\-\u00fc\u65e5.hoplab.test'


def host_path(flavour, path):
    return path if flavour == "native" else "Z:" + path.replace("/", "\\")


def validate(flavour, what, out):
    """The document on standard output is valid UTF-8, valid JSON and valid against the schema."""
    with tempfile.NamedTemporaryFile(suffix=".json") as f:
        f.write(out)
        f.flush()
        proc = subprocess.run(["/usr/bin/python3", "-I", "-c", VALIDATE, SCHEMA, f.name],
                              capture_output=True, text=True, timeout=60)
    if not check(proc.returncode == 0, f"{flavour} {what}: --json validates against docs/json-schema.json",
                 proc.stdout + proc.stderr):
        return None
    return json.loads(out.decode("utf-8"))


def run_json(flavour, what, args, html=None):
    extra = ["--html", host_path(flavour, html)] if html else []
    cmd = cl.WINE_RUN if flavour == "wine" else None
    env = dict(os.environ, HOPWATCH_WINEPREFIX=cl.WINE_PREFIX) if cmd else dict(os.environ)
    exe = [cmd, cl.WINDOWS] if cmd else [cl.NATIVE]
    proc = subprocess.run(["ip", "netns", "exec", "hwc", *exe, *args, "--json", *extra], env=env,
                          capture_output=True, timeout=120)
    check(proc.returncode == 0 and proc.stdout.lstrip().startswith(b"{"),
          f"{flavour} {what}: --json ran and printed only the document",
          f"exit {proc.returncode}\n{proc.stdout[:400]!r}\n{proc.stderr[:600]!r}")
    return validate(flavour, what, proc.stdout)


def ms_text(value):
    return "" if value is None else f"{value:,.3f}"


def compare_with_report(flavour, what, doc, table):
    """The JSON's counts and times are the figures the run's report (the list) shows."""
    body = table[1:]
    rows = doc["rows"]
    check(len(body) == len(rows), f"{flavour} {what}: one JSON row per report row", f"{len(rows)} vs {len(body)}")
    for i, (r, h) in enumerate(zip(rows, body)):
        texts = [c[2].replace("\xa0", " ").strip() for c in h["cells"]]
        expected = ["" if r["kind"] in ("local", "alternative") else str(r["ttl"]), r["address"] or "",
                    r["name"] or "", None, f"{r['sent']:,}", f"{r['received']:,}",
                    "" if r["sent"] == 0 else f"{r['lost']:,}",
                    ms_text(r["last_ms"]), ms_text(r["min_ms"]), ms_text(r["avg_ms"]), ms_text(r["max_ms"])]
        same = all(e is None or t == e for t, e in zip(texts, expected))
        if not check(len(texts) >= 11 and same, f"{flavour} {what}: row {i} has the report's counts and times",
                     f"{texts[:11]}\nvs {expected}"):
            return


def hop_rows(doc):
    return [r for r in doc["rows"] if r["kind"] in ("hop", "split")]


def json_on(flavour, info):
    """-c 5 with --json and --html on the running scenario: schema, the report's figures, the
    count. Under Wine on the chain only, where it costs least."""
    scenario = info["LAB_SCENARIO"]
    if flavour != "native" and scenario != "chain":
        return
    with tempfile.TemporaryDirectory(prefix="hopwatch-json-lab-") as work:
        html = os.path.join(work, "report.html")
        doc = run_json(flavour, scenario, ["-n", *FAST, "-c", "5", "--history", "4", info["LAB_TARGET_ADDR"]],
                       html)
        if doc is None:
            return
        if check(os.path.exists(html), f"{flavour} {scenario}: the report was written beside the JSON"):
            compare_with_report(flavour, scenario, doc, rl.parse_report(html)[1])
    sent = [r["sent"] for r in hop_rows(doc)]
    check(sent and all(s == 5 for s in sent), f"{flavour} {scenario}: -c 5 sent every hop 5 probes", str(sent))
    check(doc["target"]["address"] == info["LAB_TARGET_ADDR"] and doc["settings"]["count"] == 5
          and doc["probe_method"] == "raw" and doc["start"] <= doc["stop"],
          f"{flavour} {scenario}: target, settings, method and times", json.dumps({k: doc[k] for k in doc if k != "rows"}))
    if scenario == "split":
        kinds = [(r["kind"], r["ttl"]) for r in doc["rows"]]
        check(("split", 3) in kinds and kinds.count(("alternative", 3)) == 2,
              f"{flavour} split: a split row and its two alternatives at TTL 3", str(kinds))


def odd_names(flavour, info):
    """A router named with quotes, backslashes and non-ASCII characters still gives valid JSON."""
    path = "/etc/netns/hwc/hosts"
    with open(path, encoding="utf-8") as f:
        hosts = f.read()
    with open(path, "w", encoding="utf-8") as f:
        f.write(hosts.replace(" r2.hoplab.test", " " + ODD_NAME))
    try:
        # Long enough for the names to arrive on a busy machine: a name not yet looked up when
        # the count is reached is null.
        doc = run_json(flavour, "odd names", ["-i", "300", "-w", "500", "-c", "10", info["LAB_TARGET_ADDR"]])
    finally:
        with open(path, "w", encoding="utf-8") as f:
            f.write(hosts)
    if doc is None:
        return
    name = next((r["name"] for r in doc["rows"] if r["ttl"] == 2 and r["kind"] == "hop"), None)
    # Wine hands names through the ANSI code page, which may not hold every character.
    ok = name == ODD_NAME if flavour == "native" else name is not None and name.startswith('r2"quo\\te\\\\-')
    check(ok, f"{flavour} odd names: hop 2's name arrives whole in the JSON", repr(name))


def table_rows(out):
    """The rows of a table printed by the console: TTL, Tx and Lost (right-aligned under their
    headers) and the whole line."""
    lines = out.splitlines()
    header = next((i for i, l in enumerate(lines) if l.startswith("TTL  Address")), None)
    if header is None:
        return []
    tx = lines[header].index("  Tx  ") + 4
    lost = lines[header].index("  Lost  ") + 6
    return [(l[:3].strip(), l[:tx].split()[-1], l[:lost].split()[-1], l)
            for l in lines[header + 1:] if l.strip()]


def count_on_lossy_route(flavour, info):
    """-c 10 on the 40 % loss route: every hop sent exactly 10 and the run ends on its own, in
    about ten intervals and one time-out; in table, JSON and CSV form alike."""
    args = ["-n", *FAST, "-c", "10", info["LAB_TARGET_ADDR"]]
    slack = 4.0 if flavour == "native" else 12.0
    for form in ("table", "json", "csv") if flavour == "native" else ("json",):
        started = time.time()
        if form == "json":
            doc = run_json(flavour, "loss -c 10", args)
            sent = [r["sent"] for r in hop_rows(doc)] if doc else []
            limited = doc is None or any(r["note"] == "replies limited" for r in doc["rows"])
            ok = doc is not None
        else:
            code, out, err = cl.run_console(flavour, ["--no-color", *args] + (["--csv"] if form == "csv" else []))
            sent = ([r["sent"] for r in cl.parse_csv(out) if r["ttl"] != "0"] if form == "csv"
                    else [tx for ttl, tx, _, _ in table_rows(out) if ttl])
            limited = "replies limited" in out
            ok = check(code == 0, f"{flavour} loss -c 10 ({form}): the run ends by itself with exit 0",
                       f"exit {code}\n{err[:500]}")
        took = time.time() - started
        check(ok and len(sent) >= int(info["LAB_HOPS"]) and all(s in ("10", 10) for s in sent),
              f"{flavour} loss -c 10 ({form}): every hop sent exactly 10", str(sent))
        check(took < 10 * 0.1 + 0.5 + slack, f"{flavour} loss -c 10 ({form}): about 10 intervals and a time-out",
              f"{took:.1f} s")
        check(not limited, f"{flavour} loss -c 10 ({form}): no row says \"replies limited\"")


def replies_limited(flavour, info):
    """Routers that rate-limit their ICMP errors, probed at 20 probes/s per hop: their rows show
    loss and "replies limited", the target's none."""
    limited = [int(k) for k in info["LAB_LIMITED_HOPS"].split()]
    args = ["-n", "-i", "50", "-w", "500", "-c", "40", info["LAB_TARGET_ADDR"]]
    forms = ("json", "csv", "table") if flavour == "native" else ("json",)
    for form in forms:
        if form == "json":
            doc = run_json(flavour, "ratelimit", args)
            rows = [(r["ttl"], r["lost"], r["note"] or "") for r in hop_rows(doc)] if doc else []
        else:
            code, out, err = cl.run_console(flavour, ["--no-color", *args] + (["--csv"] if form == "csv" else []))
            if form == "csv":
                rows = [(int(r["ttl"]), int(r["lost"]), r["note"]) for r in cl.parse_csv(out) if r["ttl"] != "0"]
            else:
                rows = [(int(ttl), int(lost), "replies limited" if "replies limited" in line else "")
                        for ttl, _, lost, line in table_rows(out) if ttl]
        want = [(ttl, ttl in limited) for ttl in range(1, int(info["LAB_HOPS"]) + 1)]
        got = [(ttl, note == "replies limited" and lost > 0) for ttl, lost, note in rows]
        check(got == want and all(lost == 0 for ttl, lost, _ in rows if ttl not in limited),
              f"{flavour} ratelimit ({form}): the limiting routers' rows say \"replies limited\", no other",
              str(rows))
