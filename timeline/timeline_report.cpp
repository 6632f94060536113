// The report's timeline section: the snapshot it is made from, its frame and the events table.
#include "timeline/timeline_report.h"

namespace {

void AppendCell(CString& html, const wchar_t* align, const CString& text) {
    html += L"\t\t<td class=\"td";
    html += align;
    html += L"\">" + text + L"</td>\r\n";
}

void AppendEvents(CString& html, const STimelineReport& report) {
    html += L"<div class=\"pm\"><br>\r\n\tEvents<br>\r\n";
    if (report.omittedEvents > 0)
        html += L"\t" + TimelineCountText(report.omittedEvents, L"earlier event") +
                L" not listed.<br>\r\n";
    if (report.events.GetSize() == 0)
        html += L"\tNo loss episode and no route change was found.<br>\r\n";
    html += L"</div>\r\n";
    if (report.events.GetSize() == 0)
        return;
    html += L"<table class=\"tb\">\r\n\t<tr class=\"th\">\r\n";
    static const wchar_t* const kHeaders[] = {L"Start", L"End", L"Event", L"Hops", L"Details"};
    for (const wchar_t* header : kHeaders)
        html += CString(L"\t\t<th class=\"thl\">") + header + L"</th>\r\n";
    html += L"\t</tr>\r\n";
    for (int i = 0; i < report.events.GetSize(); ++i) {
        const STimelineEvent& event = report.events[i];
        const bool episode = event.kind == kTimelineLossEpisode;
        CString end;
        if (episode)
            end =
                TimelineClockText(report.start, event.end) + (event.ongoing ? L" (ongoing)" : L"");
        html += L"\t<tr>\r\n";
        AppendCell(html, L"l", TimelineClockText(report.start, event.start));
        AppendCell(html, L"l", end);
        AppendCell(html, L"l", TimelineEventName(event.kind));
        AppendCell(html, L"l", event.hops.Text());
        AppendCell(html, L"l", TimelineEventDetails(event));
        html += L"\t</tr>\r\n";
    }
    html += L"</table>\r\n<br>\r\n";
}

} // namespace

BOOL SnapshotTimelineReport(const CHopwatchTimeline& model, const CHopwatchRowSource& rows,
                            STimelineReport& report, int maxCells) {
    report.include = false;
    const STimelineRunInfo info = model.GetRunInfo();
    if (!info.hasRun)
        return TRUE;
    NArray<STimelineLaneKey> keys;
    if (!TimelineRowsFromSource(rows, report.rows) || !TimelineRowKeys(report.rows, keys))
        return FALSE;
    report.start = info.startTime;
    report.dropped = info.dropped;
    report.slotWidth = TimelineSlotWidth(info.length, maxCells, model.GetFinestWidthFromStart());
    const int slots = TimelineSlotCount(info.length, report.slotWidth);
    if (!model.ReadView(keys.GetData(), keys.GetSize(), 0.0, slots * report.slotWidth, slots,
                        report.view) ||
        !model.FindEvents(report.events, report.omittedEvents))
        return FALSE;
    report.rttScale = report.view.RttScale();
    report.include = true;
    return TRUE;
}

CString TimelineReportSection(const STimelineReport& report) {
    if (!report.include)
        return CString();
    CString html = L"<div class=\"pm\"><br>\r\n\tTimeline: one cell per " +
                   TimelineSpanText(report.slotWidth) +
                   L", coloured by its average round trip; the dark part of a cell is its share "
                   L"of lost probes.<br>\r\n";
    if (report.dropped > 0)
        html += L"\t" + TimelineCountText(report.dropped, L"probe outcome") +
                L" did not reach the timeline.<br>\r\n";
    html += L"</div>\r\n" + TimelineHeatMapSvg(report);
    html += L"<div class=\"pm\"><br>\r\n\tLoss per row<br>\r\n</div>\r\n" + TimelineLossSvg(report);
    AppendEvents(html, report);
    return html;
}
