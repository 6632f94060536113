#!/usr/bin/env python3
"""Checks that every #include keeps to the layering table below; prints each offending include as
file:line and exits 1 when there is one. `--self-test` proves the checker on a small made-up tree."""
import os
import re
import sys
import tempfile

# ---- The layering table: which folder may include which (design.md section 2). Amend here. ----
# Keys are top-level folders; "<folder>:win" adds what that folder's Windows-only files may include
# (files named *_win.*, and a header whose only implementation beside it is its *_win.cpp). Values
# are folders, single headers ("folder/file.h"), "generated" (a header the build makes, such as the
# version header) or "*" (everything). A folder may always include its own files.
LAYERS = {
    "platform": ["foundation/base_types.h", "foundation/utf.h"],
    "foundation": ["platform"],
    "settings": ["foundation", "platform"],
    "settings:win": ["ui", "resources"],  # the options sheet: property sheet wrappers, page ids
    "engine": ["foundation", "platform", "settings/settings_globals.h"],
    "results": ["foundation", "platform", "engine", "settings/settings_globals.h"],
    "results:win": ["ui"],  # the list and progress bar drawing
    # The timeline: bucket model and events over the engine's outcomes, the report's SVG section,
    # the rows of the list as lanes; its window draws with the wrappers of ui/.
    "timeline": ["foundation", "platform", "engine", "results", "settings"],
    "timeline:win": ["ui"],
    "report": ["foundation", "platform", "engine", "results", "settings", "recording", "timeline",
               "generated"],
    # run recordings: the file format, the writer thread and the reader, over the engine's outcome
    # ring and the row source; the version header goes into each recording's header
    "recording": ["foundation", "platform", "engine", "results", "settings", "generated"],
    "ui": ["foundation", "platform"],
    "resources": ["generated"],
    "console": ["foundation", "platform", "engine", "results", "settings", "timeline", "report",
                "recording", "generated"],
    "app": ["*"],
    "tests": ["*"],
    "bench": ["*"],
    "fuzz": ["*"],
}
# Folders whose portable files may include system headers beyond the C++ standard library: the
# platform layer is the one place for the OS's headers; tests, benchmarks and fuzz targets may use
# anything; the Windows-only folders are Win32 code throughout. Elsewhere a file named *_win.* or
# *_posix.* is the one-OS half of a concern and may include that OS's headers.
OS_HEADERS_ALLOWED = {"platform", "ui", "app", "resources", "tests", "bench", "fuzz"}
# ------------------------------------------------------------------------------------------------

STANDARD_HEADERS = set("""
algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
cinttypes climits clocale cmath codecvt compare complex concepts condition_variable coroutine
csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque
exception execution filesystem format forward_list fstream functional future initializer_list
iomanip ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource
mutex new numbers numeric optional ostream queue random ranges ratio regex scoped_allocator
semaphore set shared_mutex source_location span sstream stack stdexcept stop_token streambuf
string string_view syncstream system_error thread tuple type_traits typeindex typeinfo
unordered_map unordered_set utility valarray variant vector version
""".split())

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def top_folder(path):
    return path.split("/", 1)[0] if "/" in path else ""


def is_windows_only(root, path):
    """Named *_win.*, or a header whose only implementation beside it is its *_win.cpp."""
    stem, ext = os.path.splitext(path)
    if stem.endswith("_win"):
        return True
    if ext not in (".h", ".hpp"):
        return False
    exists = lambda suffix: os.path.exists(os.path.join(root, stem + suffix))
    return exists("_win.cpp") and not exists(".cpp") and not exists("_posix.cpp")


def resolve(root, path, include):
    """The repository path an include names, or "generated" when it names no file of the tree."""
    if top_folder(include) in LAYERS:
        return include
    beside = os.path.normpath(os.path.join(os.path.dirname(path), include)).replace(os.sep, "/")
    if os.path.exists(os.path.join(root, beside)):
        return beside
    if top_folder(path) in ("tests", "fuzz") and os.path.exists(os.path.join(root, "tests", include)):
        return "tests/" + include
    return "generated"


def allowed(rules, folder, target):
    if "*" in rules or top_folder(target) == folder:
        return True
    return target in rules or top_folder(target) in rules


def source_files(root):
    for directory, dirs, files in os.walk(root):
        rel = os.path.relpath(directory, root).replace(os.sep, "/")
        dirs[:] = [d for d in dirs if not d.startswith(".") and not (rel == "." and d.startswith("build"))]
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield name if rel == "." else rel + "/" + name


def check(root):
    """Returns (number of includes checked, list of problem lines)."""
    problems = []
    checked = 0
    for path in source_files(root):
        folder = top_folder(path)
        if folder not in LAYERS:
            problems.append(f"{path}: folder '{folder or '.'}' has no entry in the layering table "
                            f"(scripts/check_layering.py)")
            continue
        windows = is_windows_only(root, path)
        rules = LAYERS[folder] + (LAYERS.get(folder + ":win", []) if windows else [])
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                checked += 1
                kind, include = match.groups()
                if kind == "<":
                    posix = os.path.splitext(path)[0].endswith("_posix")
                    if (not windows and not posix and folder not in OS_HEADERS_ALLOWED
                            and include not in STANDARD_HEADERS):
                        problems.append(f"{path}:{number}: #include <{include}>: portable code in "
                                        f"{folder}/ includes only the C++ standard library; OS "
                                        f"headers belong in platform/")
                    continue
                target = resolve(root, path, include)
                if not allowed(rules, folder, target):
                    what = "Windows-only files of " + folder if windows else folder
                    problems.append(f'{path}:{number}: #include "{include}": {what}/ may not '
                                    f"include {target if target == 'generated' else top_folder(target) + '/'}"
                                    f" (allowed: {', '.join(rules) or 'its own files only'})")
    return checked, problems


def self_test():
    """A made-up tree with one allowed include of each kind and one offence of each kind."""
    files = {
        "foundation/base_types.h": "",
        "foundation/utf.h": '#include "foundation/base_types.h"\n#include <string>\n',
        "foundation/numbers.h": "",
        "platform/clock.h": '#include "foundation/base_types.h"\n',
        "platform/clock_posix.cpp": "#include <time.h>\n#include \"foundation/numbers.h\"\n",
        "engine/data.cpp": ('#include "engine/data.h"\n#include "settings/settings_globals.h"\n'
                            '#include "settings/store.h"\n#include <unistd.h>\n'),
        "engine/data.h": '#include "platform/clock.h"\n',
        "results/list.h": '#include "ui/CListView.h"\n',
        "results/list.cpp": "",
        "results/list_win.cpp": '#include "ui/CListView.h"\n#include <windows.h>\n',
        "results/graph.h": '#include "ui/CDC.h"\n',
        "results/graph_win.cpp": "",
        "console/main.cpp": '#include "app/CHopwatchDlg.h"\n#include "hopwatch_version.h"\n',
        "newlayer/thing.cpp": "",
    }
    expected = [
        "platform/clock_posix.cpp:2:",  # platform takes only base types and UTF helpers
        "engine/data.cpp:3:",  # engine reads only the settings globals
        "engine/data.cpp:4:",  # an OS header in portable code
        "results/list.h:1:",  # a portable header (it has list.cpp) of results including ui
        "console/main.cpp:1:",  # console includes no app code
        "newlayer/thing.cpp:",  # a folder without a table entry
    ]
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as out:
                out.write(text)
        _, problems = check(root)
    found = sorted(p.split(" ", 1)[0] for p in problems)
    if found != sorted(expected):
        print("check_layering self-test failed:\n  expected " + ", ".join(sorted(expected)) +
              "\n  reported:\n    " + "\n    ".join(problems))
        return 1
    print(f"check_layering self-test: {len(expected)} offences found, allowed includes passed")
    return 0


def main():
    if "--self-test" in sys.argv[1:]:
        return self_test()
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
    checked, problems = check(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"layering: {len(problems)} offending include(s) of {checked}")
        return 1
    print(f"layering: {checked} includes checked, all within the table")
    return 0


if __name__ == "__main__":
    sys.exit(main())
