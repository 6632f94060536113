// State and geometry of the progress bar with text: range, position, step, colours, text, extent.
#pragma once

#include "foundation/base_types.h"
#include "foundation/pixel_rect.h"

// The list and progress controls' "use the default" colour value.
constexpr COLORREF kProgressDefaultColor = 0xFF000000;
// Centred horizontally and vertically on a single line (DT_CENTER | DT_VCENTER | DT_SINGLELINE).
constexpr UINT kProgressDefaultTextFormat = 0x25;

// Fraction of the range done, (position - lower) / (upper - lower), limited to [0, 1]; 0 when
// lower is not below upper. Positions outside the range are drawn at its ends.
double TextProgressFraction(int position, int lower, int upper);

// Filled part of a bar length pixels long: the integer part of length * fraction.
int TextProgressExtent(int position, int lower, int upper, int length);

// Splits the client rectangle into the filled part and the rest: a horizontal bar fills from
// the left, a vertical one from the bottom.
void TextProgressSplit(const SPixelRect& client, bool vertical, double fraction, SPixelRect& filled,
                       SPixelRect& rest);

// The text drawn when the control has none of its own: "%d%%" of the integer part of
// fraction * 100, e.g. "42%".
CString TextProgressPercentText(double fraction);

// Copies text into a caller's buffer of size characters, zero-terminated and cut to fit.
// Returns the characters copied, or 0 when there is no buffer or the text had to be cut.
int TextProgressCopyText(const CString& text, WCHAR* buffer, int size);

// Everything the control keeps instead of the platform's progress bar. The control asks it what
// changed and invalidates accordingly. User-interface thread only.
class CTextProgressState {
public:
    // Moves to position and remembers the extent of the bar over length pixels. TRUE when that
    // extent changed, i.e. the bar moved by at least a whole pixel (or had none remembered).
    BOOL MoveTo(int position, int length);
    // The position after adding delta, wrapping rather than overflowing.
    int Offset(int delta) const;
    // Stores text; TRUE when it differed from the stored one.
    BOOL SetText(LPCWSTR text);
    // Both TRUE when the value changed.
    BOOL SetShowText(BOOL show);
    BOOL SetTextFormat(UINT format);
    // The window's size changed: the next move redraws whatever its extent.
    void ForgetExtent() { m_barExtent = -1; }
    // Colour of the text over the filled part and over the rest: the text colour, or by
    // default the inverse of what lies under it.
    COLORREF TextColorOverFill(COLORREF background) const;
    COLORREF TextColorOverRest(COLORREF bar) const;

    COLORREF m_textColor = kProgressDefaultColor;
    int m_position = 0;
    int m_step = 1;
    int m_upper = 100;
    int m_lower = 0;
    CString m_text;
    BOOL m_showText = TRUE;
    int m_barExtent = -1;
    COLORREF m_barColor = kProgressDefaultColor;
    COLORREF m_backColor = kProgressDefaultColor;
    UINT m_textFormat = kProgressDefaultTextFormat;
};
