// Command-line options of hopwatch-console: the program's own options plus run length and output
// form.
#pragma once

#include "foundation/NArray.h"
#include "foundation/base_types.h"

struct SConsoleOptions {
    CString host;             // the host as typed (trimmed); empty when none was given
    DWORD intervalMs = 0;     // 0 = keep the setting
    DWORD timeoutMs = 0;      // 0 = keep the setting
    DWORD maxTtl = 0;         // 0 = keep the setting
    int reverseDns = -1;      // -1 = keep the setting, else 0 or 1
    double runSeconds = -1.0; // < 0: run until interrupted
    bool csv = false;
    int historyValues = 0; // newest window values printed per row; 0 = none
    int color = -1;        // -1 = when the terminal supports it, 0 = never, 1 = always
    bool live = false;
    CString htmlPath;          // /html FILE: write the HTML report there at the end; empty = none
    bool exportReport = false; // /export: write it into the temporary directory, as Export does
    bool openReport = false;   // /open: export and open it with the default program
    int exportIcons = -1;      // -1 = keep the setting, else 0 or 1
    bool timeline = false;     // /timeline: print the timeline after the run
    bool help = false;
};

// Parses the arguments (without the program name). Returns FALSE with one message per problem in
// errors when an option is unknown, lacks its value or has a bad one, or when no host was named.
BOOL ParseConsoleOptions(int argc, const CString* argv, SConsoleOptions& options,
                         NArray<CString>& errors);

// The usage text, one option per line, each line ending with "\n".
CString ConsoleUsageText();
