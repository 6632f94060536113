// Text pieces of the HTML report: escaping, colours, alignment letters and the duration text.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;" and, with nonBreaking, " " -> "&nbsp;". Double
// quotes stay as they are.
CString EscapeHtml(const CString& text, BOOL nonBreaking);

// "#RRGGBB" with upper-case hex digits, e.g. 0x0066FFFF gives "#FFFF66".
CString ColorToHtml(COLORREF color);

// The class letter of a column's cells: "r" for column 0 whatever its format, else "l", "r" or
// "c" from the header format's justification bits (anything else counts as left).
LPCWSTR ReportAlignmentLetter(int column, int headerFormat);

// A span in 100-ns units rounded to whole seconds, as "1 hour, 2 minutes, 5 seconds": leading
// zero parts left out except the seconds, every part after the first written. A negative span
// (the clock was set back during the test) counts as 0.
CString FormatReportDuration(std::int64_t span);

// The palette colour (0x00BBGGRR) of index 0 to 15 of the standard 16-colour palette.
COLORREF ReportPaletteColor(int index);

// The palette index nearest to a colour: the smallest sum of the absolute channel differences,
// the lowest index on a tie.
int NearestPaletteIndex(BYTE red, BYTE green, BYTE blue);
