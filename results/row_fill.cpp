// Fills one results list row from a hop record: cell texts, row image, cell colours, item data.
#include "results/row_fill.h"

#include "foundation/numbers.h"
#include "results/hopwatch_colors.h"
#include "results/list_columns.h"
#include "results/row_rules.h"

namespace {

// One of the four time columns: milliseconds with three decimals coloured against the column's
// largest value, or empty and white when the row shows no such time.
void FillTime(CHopwatchListView& list, int item, int column, const SHopwatchHost& host,
              EHopwatchRowTime which, double columnMax, COLORREF* colors) {
    double seconds = 0.0;
    if (!HopwatchRowTime(host, which, seconds)) {
        list.SetItemText(item, column, L"");
        colors[column] = kColorWhite;
        return;
    }
    list.SetItemText(item, column, FormatDoubleGrouped(seconds * 1000.0).c_str());
    colors[column] = TimeColor(seconds, columnMax);
}

void StoreColors(CHopwatchListView& list, int item, const COLORREF* colors) {
    NArray<COLORREF>* cells = list.GetCellColors(item);
    if (cells == nullptr)
        return;
    bool fresh = cells->GetSize() != kHopwatchColumnCount;
    if (fresh && !cells->SetSize(kHopwatchColumnCount))
        return;
    for (int i = 0; i < kHopwatchColumnCount; ++i) {
        if (fresh || (*cells)[i] != colors[i]) {
            (*cells)[i] = colors[i];
            list.OnCellChanged(item, i);
        }
    }
}

} // namespace

void FillHopwatchRow(CHopwatchListView& list, int item, const SHopwatchHost& host,
                     const SHopwatchColumnMaxima& maxima) {
    // Columns 0, 1, 2, 4, 5 and 11 stay white.
    COLORREF colors[kHopwatchColumnCount];
    for (COLORREF& color : colors)
        color = kColorWhite;

    list.SetItemText(item, kColTtl, host.ttl != 0 ? FormatUnsigned(host.ttl, 10).c_str() : L"");
    list.SetItemImage(item, static_cast<int>(host.image));

    list.SetItemText(item, kColAddress, HopwatchRowAddressText(host).c_str());
    list.SetItemText(item, kColHostName, host.name.c_str());

    DWORD percent = 0;
    if (HopwatchLossPercent(host, percent)) {
        CString loss = FormatSigned(static_cast<std::int32_t>(percent), 10);
        loss.push_back(L'%');
        list.SetItemText(item, kColLoss, loss.c_str());
        colors[kColLoss] = StatisticsColor(percent * 0.01);
    } else {
        list.SetItemText(item, kColLoss, L"");
    }

    list.SetItemText(item, kColSent, FormatUnsignedGrouped(host.sent).c_str());
    list.SetItemText(item, kColReceived, FormatUnsignedGrouped(host.received).c_str());

    if (!HopwatchRowShowsLost(host)) {
        list.SetItemText(item, kColLost, L"");
    } else {
        list.SetItemText(item, kColLost, FormatUnsignedGrouped(host.lost).c_str());
        colors[kColLost] = maxima.lost == 0
                               ? kColorLightGreen
                               : StatisticsColor(static_cast<double>(host.lost) / maxima.lost);
    }

    FillTime(list, item, kColLastRtt, host, kRowTimeLast, maxima.lastRtt, colors);
    FillTime(list, item, kColMinRtt, host, kRowTimeMin, maxima.minRtt, colors);
    FillTime(list, item, kColAvgRtt, host, kRowTimeAvg, maxima.avgRtt, colors);
    FillTime(list, item, kColMaxRtt, host, kRowTimeMax, maxima.maxRtt, colors);

    list.SetItemText(item, kColNote, host.note.c_str());
    StoreColors(list, item, colors);
    list.SetItemData(item, host.version + maxima.version);
}
