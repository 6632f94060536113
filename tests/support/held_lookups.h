// Reverse lookups for engine tests that wait until released, so that names stay pending.
#pragma once

#include <string>

#include "foundation/base_types.h"

// A HopwatchReverseLookupFn: while lookups are held, blocks until ReleaseHeldLookups; then (and
// when not held) returns false at once, a lookup without a name.
bool HeldLookup(DWORD address, std::string& name);
// Makes the following HeldLookup calls block.
void HoldLookups();
// Lets every waiting and every later HeldLookup call return.
void ReleaseHeldLookups();
// Waits up to limitMs until count HeldLookup calls have started; false when they did not.
bool WaitForHeldLookups(int count, int limitMs = 5000);
