// State and geometry of the progress bar with text: range, position, step, colours, text, extent.
#include "results/text_progress.h"

#include <cwchar>

double TextProgressFraction(int position, int lower, int upper) {
    if (lower >= upper)
        return 0.0;
    double fraction =
        (static_cast<double>(position) - lower) / (static_cast<double>(upper) - lower);
    if (fraction < 0.0)
        return 0.0;
    return fraction > 1.0 ? 1.0 : fraction;
}

int TextProgressExtent(int position, int lower, int upper, int length) {
    if (length <= 0)
        return 0;
    return static_cast<int>(length * TextProgressFraction(position, lower, upper));
}

void TextProgressSplit(const SPixelRect& client, bool vertical, double fraction, SPixelRect& filled,
                       SPixelRect& rest) {
    filled = client;
    rest = client;
    if (vertical) {
        int edge = client.bottom - static_cast<int>(client.Height() * fraction);
        filled.top = edge;
        rest.bottom = edge;
    } else {
        int edge = client.left + static_cast<int>(client.Width() * fraction);
        filled.right = edge;
        rest.left = edge;
    }
}

CString TextProgressPercentText(double fraction) {
    WCHAR text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"%d%%", static_cast<int>(fraction * 100.0));
    return text;
}

int TextProgressCopyText(const CString& text, WCHAR* buffer, int size) {
    if (buffer == nullptr || size <= 0)
        return 0;
    size_t length = text.size();
    bool cut = length >= static_cast<size_t>(size);
    if (cut)
        length = static_cast<size_t>(size) - 1;
    text.copy(buffer, length);
    buffer[length] = L'\0';
    return cut ? 0 : static_cast<int>(length);
}

BOOL CTextProgressState::MoveTo(int position, int length) {
    m_position = position;
    int extent = TextProgressExtent(m_position, m_lower, m_upper, length);
    if (extent == m_barExtent)
        return FALSE;
    m_barExtent = extent;
    return TRUE;
}

int CTextProgressState::Offset(int delta) const {
    return static_cast<int>(static_cast<unsigned>(m_position) + static_cast<unsigned>(delta));
}

BOOL CTextProgressState::SetText(LPCWSTR text) {
    if (text == nullptr)
        text = L"";
    if (m_text == text)
        return FALSE;
    m_text = text;
    return TRUE;
}

BOOL CTextProgressState::SetShowText(BOOL show) {
    if (m_showText == show)
        return FALSE;
    m_showText = show;
    return TRUE;
}

BOOL CTextProgressState::SetTextFormat(UINT format) {
    if (m_textFormat == format)
        return FALSE;
    m_textFormat = format;
    return TRUE;
}

COLORREF CTextProgressState::TextColorOverFill(COLORREF background) const {
    return m_textColor == kProgressDefaultColor ? background : m_textColor;
}

COLORREF CTextProgressState::TextColorOverRest(COLORREF bar) const {
    return m_textColor == kProgressDefaultColor ? bar : m_textColor;
}
