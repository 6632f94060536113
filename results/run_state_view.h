// What the main window shows in each run state: button texts, control states, the stopping bar.
#pragma once

#include "foundation/base_types.h"

// The Start/Stop button's texts.
extern const wchar_t kStartButtonText[];    // "&Start"
extern const wchar_t kStopButtonText[];     // "&Stop"
extern const wchar_t kStoppingButtonText[]; // "Stopping..."

// Upper end of the progress bar's range; the bar fills toward it while a run stops.
constexpr int kRunProgressRange = 0x10000000;

// The controls of the main window once the run state has changed to running or stopped. The
// Start button itself is enabled at the end of every change; the stopping state is entered by
// the Stop click (button disabled, kStoppingButtonText).
struct SRunStateControls {
    BOOL comboShown;
    BOOL comboEnabled;
    BOOL progressShown;
    BOOL optionsEnabled;
    LPCWSTR startText;
};
SRunStateControls RunStateControls(BOOL running);

// Position of the bar while a run stops: how much of the time-out the youngest outstanding probe
// has used up, (T - r) * kRunProgressRange / T with T the time-out in seconds and r the seconds
// it has left (NaN counts as 0, more than T as T). A probe already past its time-out gives a
// position above the range, limited to the largest int so the conversion never overflows; with
// nothing pending (r is the lowest double) every probe has run out and the bar is full.
int StoppingProgressPosition(DWORD timeoutMs, double pendingTimeLeft);

// Text of the "Error starting raw socket" box: the fixed sentence, a line break and the system's
// text for the error code.
CString StartFailureText(DWORD error);
// Text of the "Error pinging target" box: the engine's error text, a line break and the
// system's text for the error code.
CString RunFailureText(const CString& errorText, DWORD error);

// Start is enabled exactly when the host text is not blank.
BOOL HostTextStartsRun(const CString& hostText);
