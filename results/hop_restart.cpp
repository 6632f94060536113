// Restarting the test on a hop of the results list: which rows qualify, the question asked and
// how the hop enters the host history.
#include "results/hop_restart.h"

#include "engine/hopwatch_records.h"
#include "engine/inet_address.h"

BOOL IsRestartableHop(DWORD rowAddress, DWORD targetAddress) {
    return rowAddress != 0 && rowAddress != kHopwatchNone &&
           rowAddress != HopwatchSwapOrder(targetAddress);
}

CString HopRestartQuestion(DWORD rowAddress, const CString& hostName) {
    CString question = L"Ping " + FormatDottedAddress(rowAddress) + L"\r\n";
    if (!hostName.empty() && hostName[0] != L' ')
        question += L"(a.k.a. " + hostName + L")\r\n";
    question += L"instead ?";
    return question;
}

void PromoteHostExact(CNTokenList& history, const CString& host) {
    history.Remove(host);
    history.AddHead(host);
}
