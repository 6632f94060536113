// The JSON form of a run: what was probed, how and when, and every row in the list's order.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"
#include "results/CHopwatchRowSource.h"

// What the document tells about the run besides its rows.
struct SConsoleRunFacts {
    CString targetText;                  // as typed
    DWORD targetAddress = kHopwatchNone; // host byte order; all ones = never resolved
    CString probeMethod;                 // "raw", "datagram" or "system"
    DWORD intervalMs = 0;
    DWORD timeoutMs = 0;
    DWORD maxTtl = 0;
    bool reverseDns = false;
    DWORD count = 0;          // probes per hop; 0 = none asked for
    double runSeconds = -1.0; // < 0: none asked for
    int historyValues = 0;
    CNTimeStamp startedUtc; // both UTC; unset = unknown
    CNTimeStamp stoppedUtc;
};

// The document described by docs/json-schema.json, ending with "\n". Rows come from the source
// (the snapshot the table and CSV print), with the same counts and times as the CSV; numbers are
// JSON numbers and a figure the row does not have is null, never NaN. The target's name is the
// name of the row where the target answered. Text is escaped so that any name gives valid JSON;
// converted with ToUtf8 it is valid UTF-8.
CString FormatRunJson(const SConsoleRunFacts& facts, const CHopwatchRowSource& rows);

// A JSON string literal: quotes and backslashes escaped, control characters as \n, \t or \u00XX.
CString JsonString(const CString& text);
// "YYYY-MM-DDThh:mm:ss.sssZ" of a UTC stamp, quoted; null when the stamp is unset.
CString JsonUtcTime(const CNTimeStamp& utc);
