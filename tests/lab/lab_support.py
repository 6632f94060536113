"""What every lab test shares: the tally of checks in TAP-like lines, and the lab script."""
import os
import subprocess
import sys

ROOT = os.environ.get("HOPWATCH_ROOT", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
LAB = os.path.join(ROOT, "tests", "lab", "hoplab.sh")

results = {"passed": 0, "failed": 0}


def check(ok, what, detail=""):
    """Counts and prints one check; the detail, cut short, only when it failed."""
    results["passed" if ok else "failed"] += 1
    print(("ok - " if ok else "not ok - ") + what + ("" if ok or not detail else "\n    " + str(detail)[:2000]))
    sys.stdout.flush()
    return ok


def lab(*args):
    return subprocess.run([LAB, *args], check=True, capture_output=True, text=True, timeout=120).stdout


def lab_info():
    """The running lab's addresses and names, as `hoplab.sh info` prints them."""
    info = {}
    for line in lab("info").splitlines():
        if "=" in line:
            key, value = line.split("=", 1)
            info[key] = value.strip().strip("'\"")
    return info
