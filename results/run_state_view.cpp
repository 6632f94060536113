// What the main window shows in each run state: button texts, control states, the stopping bar.
#include "results/run_state_view.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "foundation/blank_set.h"
#include "foundation/system_error_text.h"

const wchar_t kStartButtonText[] = L"&Start";
const wchar_t kStopButtonText[] = L"&Stop";
const wchar_t kStoppingButtonText[] = L"Stopping...";

SRunStateControls RunStateControls(BOOL running) {
    if (running)
        return SRunStateControls{FALSE, FALSE, TRUE, FALSE, kStopButtonText};
    return SRunStateControls{TRUE, TRUE, FALSE, TRUE, kStartButtonText};
}

int StoppingProgressPosition(DWORD timeoutMs, double pendingTimeLeft) {
    double timeout = timeoutMs * 0.001;
    if (!(timeout > 0.0) || pendingTimeLeft == -DBL_MAX)
        return kRunProgressRange;
    double left = pendingTimeLeft;
    if (std::isnan(left))
        left = 0.0;
    if (left > timeout)
        left = timeout;
    double position = (timeout - left) * static_cast<double>(kRunProgressRange) / timeout;
    // Also catches an infinite product of a probe that is very far past its time-out.
    if (!(position < static_cast<double>(INT_MAX)))
        return INT_MAX;
    return static_cast<int>(position);
}

CString StartFailureText(DWORD error) {
    return CString(L"Unable to initialize raw socket for pinging.\r\n") +
           SystemErrorText(error, FALSE);
}

CString RunFailureText(const CString& errorText, DWORD error) {
    return errorText + L"\r\n" + SystemErrorText(error, FALSE);
}

BOOL HostTextStartsRun(const CString& hostText) {
    return TrimBlanks(hostText).empty() ? FALSE : TRUE;
}
