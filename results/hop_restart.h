// Restarting the test on a hop of the results list: which rows qualify, the question asked and
// how the hop enters the host history.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"

// Whether a row's hop can become the new target: its address (network byte order) is a single
// learnt address, not 0 (a split hop's aggregate) nor all ones (not learnt yet), and not the
// current target's (targetAddress in host byte order, as the engine keeps it).
BOOL IsRestartableHop(DWORD rowAddress, DWORD targetAddress);

// "Ping <dotted address>\r\n", then "(a.k.a. <name>)\r\n" when the row has a name that does not
// begin with a space (a name being looked up, or none found, is shown as such a text), then
// "instead ?".
CString HopRestartQuestion(DWORD rowAddress, const CString& hostName);

// Removes the first entry exactly equal to host (letter case included: the text is a dotted
// address), then puts host at the head.
void PromoteHostExact(CNTokenList& history, const CString& host);
