// The report's timeline pictures as inline SVG: the heat map of all rows and each row's loss.
#include <cmath>

#include "foundation/numbers.h"
#include "results/hopwatch_colors.h"
#include "timeline/timeline_report.h"

namespace {

constexpr int kLabelWidth = 160;
constexpr int kRowHeight = 14;
constexpr int kRowPitch = 16;
constexpr int kTop = 4;
constexpr int kAxisHeight = 22;
constexpr int kPlotWidth = 960; // cells share it, at least 2 pixels each
constexpr int kMinLabelGap = 72;
constexpr COLORREF kLossMark = 0x00007F; // dark red
constexpr COLORREF kLossBar = 0x0000CC;

CString Number(int value) {
    return FormatSigned(value);
}

CString SvgColor(COLORREF color) {
    return L"#" + FormatUnsigned(color & 0xFF, 16, 2, L'0') +
           FormatUnsigned((color >> 8) & 0xFF, 16, 2, L'0') +
           FormatUnsigned((color >> 16) & 0xFF, 16, 2, L'0');
}

struct SGeometry {
    int cellWidth = 2;
    int plotWidth = 0;
    int width = 0;
    int height = 0;

    explicit SGeometry(const STimelineReport& report) {
        const int slots = report.view.slots > 0 ? report.view.slots : 1;
        cellWidth = kPlotWidth / slots > 2 ? kPlotWidth / slots : 2;
        plotWidth = cellWidth * slots;
        width = kLabelWidth + plotWidth + 40;
        height = kTop + report.rows.GetSize() * kRowPitch + kAxisHeight;
    }
    int X(int slot) const { return kLabelWidth + slot * cellWidth; }
    int Y(int row) const { return kTop + row * kRowPitch; }
};

CString Open(const SGeometry& geometry) {
    return L"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Number(geometry.width) +
           L"\" height=\"" + Number(geometry.height) +
           L"\" font-family=\"Tahoma, Verdana, Arial, Helvetica, sans-serif\" "
           L"font-size=\"11\">\r\n";
}

// "TTL 3 198.51.100.6" at the left of each row; an alternative's is indented under its hop.
void AppendLabels(CString& svg, const STimelineReport& report, const SGeometry& geometry) {
    for (int r = 0; r < report.rows.GetSize(); ++r) {
        const STimelineRow& row = report.rows[r];
        svg += L"<text x=\"" + Number(row.alternative ? 16 : 4) + L"\" y=\"" +
               Number(geometry.Y(r) + kRowHeight - 3) + L"\">TTL " + FormatUnsigned(row.ttl, 10) +
               L" " + TimelineRowAddress(row) + L"</text>\r\n";
    }
}

// Wall-clock labels under the rows, at slot edges at least kMinLabelGap pixels apart.
void AppendAxis(CString& svg, const STimelineReport& report, const SGeometry& geometry) {
    static const int kSteps[] = {1, 2, 5, 10, 15, 20, 30, 60, 120, 240, 480, 960};
    int step = kSteps[0];
    for (int candidate : kSteps) {
        step = candidate;
        if (candidate * geometry.cellWidth >= kMinLabelGap)
            break;
    }
    const int baseline = geometry.Y(report.rows.GetSize());
    for (int slot = 0; slot <= report.view.slots; slot += step) {
        const int x = geometry.X(slot);
        svg += L"<line x1=\"" + Number(x) + L"\" y1=\"" + Number(baseline) + L"\" x2=\"" +
               Number(x) + L"\" y2=\"" + Number(baseline + 4) + L"\" stroke=\"#999999\"/>\r\n";
        svg += L"<text x=\"" + Number(x) + L"\" y=\"" + Number(baseline + 16) +
               L"\" text-anchor=\"middle\">" +
               TimelineClockText(report.start, slot * report.slotWidth) + L"</text>\r\n";
    }
}

} // namespace

CString TimelineTitlePrefix(const STimelineRow& row) {
    return L"TTL " + FormatUnsigned(row.ttl, 10) + L" " + TimelineRowAddress(row) + L" ";
}

CString TimelineCellTitle(const CString& prefix, const CNTimeStamp& start, double spanStart,
                          double spanEnd, const STimelineBucket& cell) {
    const double average = cell.Average();
    return prefix + TimelineClockText(start, spanStart) + L"-" + TimelineClockText(start, spanEnd) +
           L" sent " + FormatUnsigned(cell.sent, 10) + L" lost " +
           FormatUnsigned(cell.Failed(), 10) + L" avg " +
           (std::isnan(average) ? CString(L"-") : FormatDouble(average * 1000.0)) + L" ms";
}

CString TimelineHeatMapSvg(const STimelineReport& report) {
    const SGeometry geometry(report);
    CString svg = Open(geometry);
    AppendLabels(svg, report, geometry);
    for (int r = 0; r < report.rows.GetSize() && r < report.view.lanes; ++r) {
        const int y = geometry.Y(r);
        const CString prefix = TimelineTitlePrefix(report.rows[r]);
        for (int s = 0; s < report.view.slots; ++s) {
            const STimelineBucket& cell = report.view.Cell(r, s);
            if (cell.IsEmpty())
                continue; // nothing was sent: the page shows through
            const int x = geometry.X(s);
            svg += L"<rect x=\"" + Number(x) + L"\" y=\"" + Number(y) + L"\" width=\"" +
                   Number(geometry.cellWidth) + L"\" height=\"" + Number(kRowHeight) +
                   L"\" fill=\"" + SvgColor(TimeColor(cell.Average(), report.rttScale)) +
                   L"\"><title>" +
                   TimelineCellTitle(prefix, report.start, report.view.spanStart[s],
                                     report.view.spanEnd[s], cell) +
                   L"</title></rect>\r\n";
            const double share = cell.LossShare();
            const int mark = std::isnan(share) ? 0 : static_cast<int>(share * kRowHeight + 0.5);
            if (mark > 0)
                svg += L"<rect x=\"" + Number(x) + L"\" y=\"" + Number(y + kRowHeight - mark) +
                       L"\" width=\"" + Number(geometry.cellWidth) + L"\" height=\"" +
                       Number(mark) + L"\" fill=\"" + SvgColor(kLossMark) +
                       L"\" pointer-events=\"none\"/>\r\n";
        }
    }
    AppendAxis(svg, report, geometry);
    return svg + L"</svg>\r\n";
}

CString TimelineLossSvg(const STimelineReport& report) {
    const SGeometry geometry(report);
    CString svg = Open(geometry);
    AppendLabels(svg, report, geometry);
    for (int r = 0; r < report.rows.GetSize() && r < report.view.lanes; ++r) {
        const int bottom = geometry.Y(r) + kRowHeight;
        svg += L"<line x1=\"" + Number(geometry.X(0)) + L"\" y1=\"" + Number(bottom) + L"\" x2=\"" +
               Number(geometry.X(report.view.slots)) + L"\" y2=\"" + Number(bottom) +
               L"\" stroke=\"#CCCCCC\"/>\r\n";
        for (int s = 0; s < report.view.slots; ++s) {
            const double share = report.view.Cell(r, s).LossShare();
            const int height = std::isnan(share) ? 0 : static_cast<int>(share * kRowHeight + 0.5);
            if (height > 0)
                svg += L"<rect x=\"" + Number(geometry.X(s)) + L"\" y=\"" +
                       Number(bottom - height) + L"\" width=\"" + Number(geometry.cellWidth) +
                       L"\" height=\"" + Number(height) + L"\" fill=\"" + SvgColor(kLossBar) +
                       L"\"/>\r\n";
        }
    }
    AppendAxis(svg, report, geometry);
    return svg + L"</svg>\r\n";
}
