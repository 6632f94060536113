// The text form of a window placement: ten comma-separated numbers, as stored in MainWndPos.
#include "foundation/window_placement_text.h"

#include <cwchar>

namespace {

// Reads one decimal number at text; signed numbers may start with '-'. Advances text past it.
bool ReadNumber(LPCWSTR& text, bool isSigned, std::int64_t& value) {
    bool negative = false;
    if (isSigned && *text == L'-') {
        negative = true;
        ++text;
    }
    if (*text < L'0' || *text > L'9')
        return false;
    const std::int64_t limit = isSigned ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
    std::int64_t magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        magnitude = magnitude * 10 + (*text - L'0');
        if (magnitude > limit)
            return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

CString FormatWindowPlacement(const SWindowPlacementText& p) {
    WCHAR text[128];
    std::swprintf(text, sizeof text / sizeof text[0], L"%u,%u,%d,%d,%d,%d,%d,%d,%d,%d",
                  static_cast<unsigned>(p.flags), static_cast<unsigned>(p.showCmd),
                  static_cast<int>(p.minX), static_cast<int>(p.minY), static_cast<int>(p.maxX),
                  static_cast<int>(p.maxY), static_cast<int>(p.left), static_cast<int>(p.top),
                  static_cast<int>(p.right), static_cast<int>(p.bottom));
    return text;
}

BOOL ParseWindowPlacement(LPCWSTR text, SWindowPlacementText& placement) {
    if (text == nullptr)
        return FALSE;
    std::int64_t values[10];
    for (int i = 0; i < 10; ++i) {
        if (i > 0 && *text++ != L',')
            return FALSE;
        if (!ReadNumber(text, i >= 2, values[i]))
            return FALSE;
    }
    if (*text != L'\0')
        return FALSE;
    placement.flags = static_cast<std::uint32_t>(values[0]);
    placement.showCmd = static_cast<std::uint32_t>(values[1]);
    std::int32_t* fields[8] = {&placement.minX,  &placement.minY,  &placement.maxX,
                               &placement.maxY,  &placement.left,  &placement.top,
                               &placement.right, &placement.bottom};
    for (int i = 0; i < 8; ++i)
        *fields[i] = static_cast<std::int32_t>(values[i + 2]);
    return TRUE;
}

std::uint32_t RestorableShowCommand(std::uint32_t showCmd) {
    return showCmd == 0 ? 1 : showCmd;
}
