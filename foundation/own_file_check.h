// The start-up self-check of the program's own executable file.
#pragma once

#include "foundation/CNVersionInfo.h"
#include "foundation/base_types.h"

// A plausibility check, not a signature: the file the version information was read from opens,
// begins with the executable signature "MZ", reads to its end with exactly the size its
// directory entry reported, and holds the version resource inside that size. FALSE when any of
// this fails (also when nothing was read).
BOOL CheckOwnFileIntegrity(const CNVersionInfo& version);
