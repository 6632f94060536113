// What the options pages accept, and how they tell that the host history changed.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"

// The look of an options field holding a value that is not accepted: light yellow on brown.
constexpr COLORREF kInvalidFieldTextColor = 0x0099FFFF; // #FFFF99
constexpr COLORREF kInvalidFieldBkColor = 0x00003399;   // #993300

// A ping interval or time-out in milliseconds: an unsigned number (ParseUnsigned) above 0.
// On FALSE *value is left untouched; an empty text is refused.
BOOL ParsePositiveMs(LPCWSTR text, DWORD* value);
// A maximum TTL: an unsigned number from 1 to 256. On FALSE *value is left untouched.
BOOL ParseMaxTtl(LPCWSTR text, DWORD* value);

// Whether the two lists hold the same tokens in the same order, compared exactly (letter case
// included). An exact comparison rather than a checksum of the tokens joined with commas, which
// would take the one token "a,b" for the two tokens "a" and "b".
BOOL SameTokenLists(const CNTokenList& a, const CNTokenList& b);
