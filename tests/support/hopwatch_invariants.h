// The data model's invariants, checked from outside for tests and fuzz targets.
#pragma once

#include <string>

#include "support/CTestHopwatchData.h"

// Takes the data lock and checks: the slots in state 2 are exactly the pending list, which is
// doubly linked and in send order; every chain link lies below the alternatives in use and every
// alternative in use is in exactly one chain; the visible rows never exceed the rows; per hop
// record in use, received + lost never exceed sent. FALSE with the first violation in why.
bool CheckHopwatchInvariants(CTestHopwatchData& data, std::string& why);
