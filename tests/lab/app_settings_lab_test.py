#!/usr/bin/env python3
"""End to end under Wine in the lab: the desktop program's command line, its settings in the
registry and its help and error boxes, as a person would see them."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lab_support import ROOT, check, lab, lab_info, results  # noqa: E402,F401
BUILD = os.environ.get("HOPWATCH_WINDOWS_BUILD", os.path.join(ROOT, "build", "windows"))
APP = os.path.join(BUILD, "hopwatch.exe")
PROBE = os.path.join(BUILD, "window_probe.exe")
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
# The Wine server must run inside the client namespace, so this test has a prefix of its own.
WINE_PREFIX = os.environ.get("HOPWATCH_LAB_WINEPREFIX", "/tmp/hopwatch-wine-lab-app")
KEY = r"HKCU\Software\ORVANE\Hopwatch\Settings"
MAIN = "Hopwatch"

# The help and error box texts after the errors, written out independently of the program.
USAGE = ("Usage:\r\nhopwatch.exe <options> <host_or_IP> [</save>] [</nostart>]\r\n"
         "\r\n"
         "Options:\r\n"
         "/help .................... invokes this dialog\r\n"
         "/int <interval> .......... ping salvo interval [ms]\r\n"
         "/to <interval> ........... individual ping timeout [ms]\r\n"
         "/ttl <hops> .............. maximum number of hops\r\n"
         "/dns ..................... enables reverse host name lookup\r\n"
         "/nodns ................... disbles reverse host name lookup\r\n"
         "/save .................... stores these new options in registry\r\n"
         "/nostart ................. does not auto-start pingin the host\r\n")


def wine_env():
    return dict(os.environ, HOPWATCH_WINEPREFIX=WINE_PREFIX, WINEPREFIX=WINE_PREFIX)


def in_client(*cmd):
    return ["ip", "netns", "exec", "hwc", *cmd]


def wine(*args, timeout=90):
    # Output through a file, not a pipe: programs that Wine starts on the side (its server, the
    # desktop) may keep a pipe open long after the program itself has ended.
    with tempfile.TemporaryFile() as out:
        proc = subprocess.run(in_client(WINE_RUN, *args), env=wine_env(), stdout=out,
                              stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=timeout)
        out.seek(0)
        return proc.returncode, out.read().decode("utf-8", "replace")


def probe(*args):
    return wine(PROBE, *args, timeout=90)


def stop_wine():
    subprocess.run(in_client("wineserver", "-k"), env=wine_env(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)


def out_echos():
    """Echo requests sent from the client namespace so far."""
    text = subprocess.run(in_client("cat", "/proc/net/snmp"), capture_output=True, text=True,
                          timeout=10).stdout.splitlines()
    icmp = [line.split() for line in text if line.startswith("Icmp:")]
    return int(icmp[1][icmp[0].index("OutEchos")])


def start(*args):
    proc = subprocess.Popen(in_client(WINE_RUN, APP, *args), env=wine_env(),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    rc, _ = probe("wait", MAIN, "60")
    check(rc == 0, f"the window appears for {' '.join(args) or 'no arguments'}")
    return proc


def close(proc):
    probe("close", MAIN)
    try:
        proc.wait(timeout=60)
        check(True, "the program ends when its window is closed")
    except subprocess.TimeoutExpired:
        proc.kill()
        check(False, "the program ends when its window is closed")


def button_text():
    return probe("text", MAIN, "1004")[1]


def wait_running(wanted, seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if (button_text() == "&Stop") == wanted:
            return True
        time.sleep(0.2)
    return False


def registry():
    rc, out = wine("reg", "query", KEY)
    values = {}
    for line in out.replace("\r", "").splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return rc, values


def box_text(caption, seconds=30):
    rc, _ = probe("wait", caption, str(seconds))
    if rc != 0:
        return None
    return probe("boxtext", caption)[1]


def scenario(target):
    # A fresh prefix is set up by its first program, which takes a while.
    wine("reg", "delete", r"HKCU\Software\ORVANE\Hopwatch", "/f", timeout=300)

    # Options and a host: the run starts at once; nothing is written at exit.
    before = out_echos()
    app = start("/int", "500", "/nodns", target)
    check(wait_running(True), "the run starts at once", f"button: {button_text()!r}")
    time.sleep(1.5)
    check(out_echos() > before, "echo requests leave the client")
    close(app)
    rc, values = registry()
    check(rc != 0 and not values, "nothing is stored without /save", repr(values))

    # The same with /save: all seven values are stored.
    app = start("/save", "/int", "500", "/nodns", target)
    check(wait_running(True), "the run starts at once with /save")
    close(app)
    rc, values = registry()
    expected = {"MainWndPos": "REG_SZ", "HostHistory": "REG_MULTI_SZ", "PingIntervalMS": "REG_DWORD",
                "PingTimeoutMS": "REG_DWORD", "ReverseDNS": "REG_DWORD", "ExportIcons": "REG_DWORD",
                "MaxTTL": "REG_DWORD"}
    # Beside the seven, /save keeps the recording's two settings (DWORDs of their own).
    added = {"RecordRuns": "REG_DWORD", "RecordingsBudgetMB": "REG_DWORD"}
    check(rc == 0 and {k: v[0] for k, v in values.items()} == {**expected, **added},
          "/save stores the seven values with their types", repr(values))
    check(values.get("RecordRuns", ("", ""))[1] == "0x1", "recording stays on by default")
    check(values.get("PingIntervalMS", ("", ""))[1] == "0x1f4", "the interval 500 is stored")
    check(values.get("ReverseDNS", ("", ""))[1] == "0x0", "reverse lookups off are stored")
    check(values.get("MaxTTL", ("", ""))[1] == "0x20", "the default TTL 32 is stored")
    check(target in values.get("HostHistory", ("", ""))[1], "the host is in the stored history")

    # /method with /save: the run probes through the system's ICMP service, and the way is
    # stored beside the seven values, which it was not before it was chosen.
    before = out_echos()
    app = start("/save", "/method", "system", target)
    check(wait_running(True), "the run starts at once with /method system")
    time.sleep(1.5)
    check(out_echos() > before, "the ICMP service's echo requests leave the client")
    close(app)
    rc, values = registry()
    check(values.get("ProbeMethod") == ("REG_DWORD", "0x2"), "/save stores the probe method", repr(values))

    # The next start without arguments shows the last host and does not start.
    app = start()
    host = probe("text", MAIN, "1002")[1]
    check(host == target, "the last host is in the box", repr(host))
    check(wait_running(False, 3), "nothing starts without a host on the command line")
    close(app)

    # Help, and a line with bad options: their boxes, compared byte for byte.
    app = start("/help")
    text = box_text("Command line help")
    check(text == USAGE, "the help box's text", repr(text))
    probe("close", "Command line help")
    close(app)
    app = start("/ttl", "0", "/what", target)
    text = box_text("Command line error(s)")
    want = ('Error: invalid command line TTL value "0"\r\n'
            'Error: unrecognized command line option "/what"\r\n' + USAGE)
    check(text == want, "the error box's text", repr(text))
    probe("close", "Command line error(s)")
    check(wait_running(False, 3), "nothing starts after command-line errors")
    close(app)


def main():
    if not os.environ.get("DISPLAY"):
        if shutil.which("xvfb-run") is None:
            check(False, "an X server or xvfb-run is available")
            return 1
        return subprocess.call(["xvfb-run", "-a", sys.executable, *sys.argv])
    if not check(os.path.exists(APP) and os.path.exists(PROBE), "the program and the probe exist"):
        return 1
    try:
        lab("up", "chain", "3")
        info = lab_info()
        stop_wine()
        scenario(info["LAB_TARGET_ADDR"] if "LAB_TARGET_ADDR" in info else info["LAB_HOP_3"])
    except Exception as e:  # a broken step is a failure, and the lab still goes down
        check(False, "the scenario runs through", repr(e))
    finally:
        stop_wine()
        lab("down")
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
