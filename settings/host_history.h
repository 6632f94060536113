// The host history's one rule: the host last started goes to the head, once.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"
#include "foundation/text_utils.h" // EqualNoCase

// Removes the first entry equal to host without regard to letter case, then puts host (in its
// own letter case) at the head, so the list stays newest first without duplicates.
void PushHostHistory(CNTokenList& history, const CString& host);
