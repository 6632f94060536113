// Text pieces of the HTML report: escaping, colours, alignment letters and the duration text.
#include "report/report_html.h"

#include "foundation/numbers.h"
#include "report/report_input.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;

const COLORREF kPalette[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

int Distance(int a, int b) {
    return a > b ? a - b : b - a;
}

void AppendPart(CString& text, std::uint64_t count, LPCWSTR unit) {
    if (!text.empty())
        text += L", ";
    text += FormatUnsigned(static_cast<DWORD>(count), 10);
    text += L' ';
    text += unit;
    if (count != 1)
        text += L's';
}

} // namespace

CString EscapeHtml(const CString& text, BOOL nonBreaking) {
    CString out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L' ':
            out += nonBreaking ? L"&nbsp;" : L" ";
            break;
        default:
            out += c;
        }
    }
    return out;
}

CString ColorToHtml(COLORREF color) {
    return L"#" + FormatUnsigned(color & 0xFF, 16, 2, L'0') +
           FormatUnsigned((color >> 8) & 0xFF, 16, 2, L'0') +
           FormatUnsigned((color >> 16) & 0xFF, 16, 2, L'0');
}

LPCWSTR ReportAlignmentLetter(int column, int headerFormat) {
    if (column == 0)
        return L"r";
    switch (headerFormat & kReportHeaderJustifyMask) {
    case kReportHeaderRight:
        return L"r";
    case kReportHeaderCenter:
        return L"c";
    default:
        return L"l";
    }
}

CString FormatReportDuration(std::int64_t span) {
    const std::uint64_t seconds =
        span <= 0 ? 0 : (static_cast<std::uint64_t>(span) + kTicksPerSecond / 2) / kTicksPerSecond;
    const std::uint64_t parts[4] = {seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60,
                                    seconds % 60};
    static const LPCWSTR kUnits[4] = {L"day", L"hour", L"minute", L"second"};
    CString text;
    for (int i = 0; i < 4; ++i)
        if (!text.empty() || parts[i] != 0 || i == 3)
            AppendPart(text, parts[i], kUnits[i]);
    return text;
}

COLORREF ReportPaletteColor(int index) {
    return index >= 0 && index < 16 ? kPalette[index] : 0;
}

int NearestPaletteIndex(BYTE red, BYTE green, BYTE blue) {
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < 16; ++i) {
        const COLORREF c = kPalette[i];
        const int distance = Distance(red, c & 0xFF) + Distance(green, (c >> 8) & 0xFF) +
                             Distance(blue, (c >> 16) & 0xFF);
        if (distance == 0)
            return i;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}
