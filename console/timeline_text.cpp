// The console's timeline: the heat map as text, a glyph per time slot, and the run's events.
#include "console/timeline_text.h"

#include <cmath>

#include "console/table_view.h"
#include "foundation/numbers.h"
#include "results/hopwatch_colors.h"

namespace {

constexpr int kLabelWidth = 22; // "TTL 255 255.255.255.255"
constexpr COLORREF kAllLostColor = 0x0000CC;

// The glyph of a cell by its share of failed probes.
wchar_t CellGlyph(const STimelineBucket& cell) {
    if (cell.IsEmpty())
        return L' ';
    const double share = cell.LossShare();
    if (std::isnan(share) || share == 0.0)
        return L'\u2588'; // full block
    if (share >= 1.0)
        return L'x';
    if (share <= 1.0 / 3.0)
        return L'\u2593'; // dark shade
    return share <= 2.0 / 3.0 ? L'\u2592' : L'\u2591';
}

CString RowLabel(const STimelineRow& row) {
    CString label = (row.alternative ? L"  TTL " : L"TTL ") +
                    PadText(FormatUnsigned(row.ttl, 10), 3, L' ') + L" " + TimelineRowAddress(row);
    return PadText(label, -kLabelWidth, L' ') + L" ";
}

// Clock labels under the cells, one every `step` slots where it fits.
CString AxisLine(const STimelineReport& report) {
    CString line(kLabelWidth + 1, L' ');
    const int step = 10;
    for (int slot = 0; slot < report.view.slots; slot += step) {
        const CString label = TimelineClockText(report.start, slot * report.slotWidth);
        line.resize(static_cast<std::size_t>(kLabelWidth + 1 + slot), L' ');
        line += label;
    }
    return line;
}

CString EventLine(const STimelineReport& report, const STimelineEvent& event) {
    CString line = TimelineClockText(report.start, event.start);
    if (event.kind == kTimelineLossEpisode)
        line += L"-" + TimelineClockText(report.start, event.end) +
                (event.ongoing ? L" (ongoing)" : L"");
    return line + L"  " + TimelineEventName(event.kind) + L" at TTL " + event.hops.Text() + L": " +
           TimelineEventDetails(event);
}

} // namespace

CString FormatTimelineText(const STimelineReport& report, bool color) {
    if (!report.include)
        return CString();
    CString out = L"Timeline: one column per " + TimelineSpanText(report.slotWidth) + L" from " +
                  TimelineClockText(report.start, 0.0) + L" to " +
                  TimelineClockText(report.start, report.view.slots * report.slotWidth) + L"\n";
    for (int r = 0; r < report.rows.GetSize() && r < report.view.lanes; ++r) {
        out += RowLabel(report.rows[r]);
        for (int s = 0; s < report.view.slots; ++s) {
            const STimelineBucket& cell = report.view.Cell(r, s);
            const wchar_t glyph = CellGlyph(cell);
            if (color && glyph != L' ')
                AppendTerminalColor(out, false,
                                    glyph == L'x' ? kAllLostColor
                                                  : TimeColor(cell.Average(), report.rttScale));
            out += glyph;
        }
        if (color)
            out += L"\033[0m";
        out += L"\n";
    }
    out += AxisLine(report) + L"\n";
    if (report.dropped > 0)
        out +=
            TimelineCountText(report.dropped, L"probe outcome") + L" did not reach the timeline.\n";
    if (report.omittedEvents > 0)
        out += TimelineCountText(report.omittedEvents, L"earlier event") + L" not listed.\n";
    if (report.events.GetSize() == 0)
        out += L"No loss episode and no route change was found.\n";
    for (int i = 0; i < report.events.GetSize(); ++i)
        out += EventLine(report, report.events[i]) + L"\n";
    return out;
}
