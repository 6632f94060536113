// Command-line options of hopwatch-console: the program's own options plus run length and output
// form, each in its slash form and in the short and long forms of the usual Linux tools.
#pragma once

#include "foundation/NArray.h"
#include "foundation/base_types.h"

struct SConsoleOptions {
    CString host;             // the host as typed (trimmed); empty when none was given
    DWORD intervalMs = 0;     // 0 = keep the setting
    DWORD timeoutMs = 0;      // 0 = keep the setting
    DWORD maxTtl = 0;         // 0 = keep the setting
    int reverseDns = -1;      // -1 = keep the setting, else 0 or 1
    int probeMethod = -1;     // -1 = keep the setting, else kProbeSettingAuto, ... (/method)
    double runSeconds = -1.0; // < 0: run until interrupted
    DWORD count = 0;          // probes per hop, then the run ends by itself; 0 = no limit
    bool csv = false;
    bool json = false;
    int historyValues = 0; // newest window values printed per row; 0 = none
    int color = -1;        // -1 = when the terminal supports it, 0 = never, 1 = always
    bool live = false;
    CString htmlPath;          // /html FILE: write the HTML report there at the end; empty = none
    bool exportReport = false; // /export: write it into the temporary directory, as Export does
    bool openReport = false;   // /open: export and open it with the default program
    int exportIcons = -1;      // -1 = keep the setting, else 0 or 1
    CString recordPath;        // /record FILE: the run's recording goes there; empty = the folder
    bool noRecord = false;     // /norecord: the run is not recorded
    CString replayPath;        // /replay FILE: print that recording instead of running a test
    bool timeline = false;     // /timeline: print the timeline after the run
    bool help = false;
    bool version = false;
};

// Exit codes of hopwatch-console.
constexpr int kConsoleExitDone = 0;
constexpr int kConsoleExitFailed =
    1; // the run could not start or failed, or a report was not written
constexpr int kConsoleExitUsage = 2; // a bad command line
// A replayed recording is cut off or damaged: what comes before the damage was printed.
constexpr int kConsoleExitPartial = 3;

// Parses the arguments (without the program name). Slash options ("/int 500"), short options
// ("-i 500", "-i500", combined flags as in "-nc 5") and long options ("--interval 500",
// "--interval=500") mix freely; "--" ends the options. An option's value is the next argument
// whatever it looks like. Returns FALSE with one message per problem in errors when an option is
// unknown, lacks its value or has a bad one, when --csv and --json are both given, or when no
// host was named (unless help or the version was asked for, or a recording is replayed, which
// takes no host).
BOOL ParseConsoleOptions(int argc, const CString* argv, SConsoleOptions& options,
                         NArray<CString>& errors);

// The usage text: every option in its forms, the exit codes; at most 80 columns, each line
// ending with "\n".
CString ConsoleUsageText();

// The program's version, "major.minor.patch".
CString ConsoleVersionText();
