// Parsing of user-typed unsigned numbers and the number texts of the results list and settings.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// Parses an unsigned 32-bit number: optional blanks, then decimal, octal (leading 0), hexadecimal
// (0x/0X) or binary (0b/0B) digits, then optional blanks. Signs and any other character are
// refused, and so is a value that does not fit in 32 bits. "0x" and "0b" alone give 0. Reads up to
// the first NUL and never beyond it. On TRUE *value is set; on FALSE (also for a null text or
// value pointer) *value is left untouched. Thread-safe.
BOOL ParseUnsigned(LPCWSTR text, DWORD* value);

// The value in the radix (2 to 36, upper-case letters), padded by PadText(width, fill).
// A radix outside 2 to 36 gives an empty text.
CString FormatUnsigned(DWORD value, int radix, int width = 0, wchar_t fill = L' ');

// The value in the radix (2 to 36, upper-case letters) with a leading '-' when negative, no
// padding. 32-bit on every platform so Windows and Linux agree; INT32_MIN is formatted exactly.
// A radix outside 2 to 36 gives an empty text.
CString FormatSigned(std::int32_t value, int radix = 10);

// The text filled with `fill` up to |width| characters: in front for a positive width
// (right-aligned), behind for a negative one (left-aligned). Longer texts come back unchanged.
// The padded length is capped at kMaxNumberText characters, so no width can exhaust memory.
CString PadText(const CString& text, int width, wchar_t fill);

// `count` copies of c; empty for 0. The count is capped at kMaxNumberText.
CString RepeatChar(wchar_t c, unsigned count);

// Longest text the grouping and padding functions produce.
constexpr std::size_t kMaxNumberText = 4095;

// The text with a comma before every third digit of its trailing digit run (counted from the
// right), then right-aligned with spaces to |width|. A null text gives an empty one. A text whose
// grouped form would exceed kMaxNumberText characters is returned as it is, ungrouped.
CString GroupThousands(LPCWSTR text, int width);

// Decimal, grouped in thousands, no padding: 1234567 gives "1,234,567".
CString FormatUnsignedGrouped(DWORD value);

// The value with exactly three decimals and '.' as the decimal point whatever the C locale says:
// 1.5 gives "1.500". Infinities give "inf"/"-inf", NaN gives "nan" or "-nan".
CString FormatDouble(double value);

// FormatDouble with the integer part grouped in thousands, right-aligned to 5 characters:
// 1234.5 gives "1,234.500", 1 gives "1.000".
CString FormatDoubleGrouped(double value);
