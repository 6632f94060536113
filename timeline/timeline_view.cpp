// What a reader takes from the timeline model: lane keys, the run's clock and a view of cells.
#include "timeline/timeline_view.h"

#include <cmath>

#include "foundation/numbers.h"

BOOL STimelineView::Size(int laneCount, int slotCount) {
    if (laneCount < 0 || slotCount < 0 || (slotCount > 0 && laneCount > 0x7FFFFFFF / slotCount) ||
        !spanStart.SetSize(slotCount) || !spanEnd.SetSize(slotCount) ||
        !cells.SetSize(laneCount * slotCount))
        return FALSE;
    lanes = laneCount;
    slots = slotCount;
    return TRUE;
}

double STimelineView::RttScale() const {
    double scale = 0.0;
    for (int i = 0; i < cells.GetSize(); ++i) {
        const double average = cells[i].Average();
        if (average > scale)
            scale = average;
    }
    return scale;
}

double TimelineSlotWidth(double length, int maxSlots, double finest) {
    static const double kSteps[] = {1, 2, 5, 10, 20, 30, 60, 120, 300, 600};
    if (maxSlots < 1)
        maxSlots = 1;
    double width = 0.0;
    for (int i = 0;; ++i) {
        width = i < 10 ? kSteps[i] : 600.0 * std::ldexp(1.0, i - 9);
        if (width >= finest && TimelineSlotCount(length, width) <= maxSlots)
            return width;
        if (width > 1e12)
            return width;
    }
}

int TimelineSlotCount(double length, double width) {
    if (!(length > 0.0) || !(width > 0.0))
        return 1;
    const double count = std::floor(length / width) + 1.0;
    return count > 1e9 ? 1000000000 : static_cast<int>(count);
}

CString TimelineClockText(const CNTimeStamp& start, double seconds) {
    // The stamp already holds local time and 1601-01-01 began at midnight, so the time of day is
    // the remainder of whole days: no calendar and no zone rules are needed (a report formats
    // thousands of these).
    const double offset = seconds * 1e7;
    const std::uint64_t value =
        start.GetValue() + (offset > 0.0 ? static_cast<std::uint64_t>(offset + 0.5) : 0);
    const DWORD day = static_cast<DWORD>((value / 10000000u) % 86400u);
    const wchar_t text[9] = {static_cast<wchar_t>(L'0' + day / 36000),
                             static_cast<wchar_t>(L'0' + day / 3600 % 10),
                             L':',
                             static_cast<wchar_t>(L'0' + day % 3600 / 600),
                             static_cast<wchar_t>(L'0' + day % 600 / 60),
                             L':',
                             static_cast<wchar_t>(L'0' + day % 60 / 10),
                             static_cast<wchar_t>(L'0' + day % 10),
                             L'\0'};
    return text;
}

CString TimelineCountText(DWORD count, const wchar_t* unit) {
    return FormatUnsigned(count, 10) + L" " + unit + (count == 1 ? L"" : L"s");
}

CString TimelineSpanText(double seconds) {
    const DWORD whole = static_cast<DWORD>(seconds + 0.5);
    if (whole >= 3600 && whole % 3600 == 0)
        return TimelineCountText(whole / 3600, L"hour");
    if (whole >= 60 && whole % 60 == 0)
        return TimelineCountText(whole / 60, L"minute");
    return TimelineCountText(whole, L"second");
}
