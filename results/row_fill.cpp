// Fills one results list row from a hop record: cell texts, row image, cell colours, item data.
#include "results/row_fill.h"

#include <cmath>
#include <cstdint>

#include "engine/inet_address.h"
#include "foundation/numbers.h"
#include "results/hopwatch_colors.h"
#include "results/list_columns.h"

namespace {

// One of the four time columns: empty and white without replies, else milliseconds with three
// decimals, coloured against the column's largest value.
void FillTime(CHopwatchListView& list, int item, int column, DWORD received, double seconds,
              double columnMax, COLORREF* colors) {
    if (received == 0) {
        list.SetItemText(item, column, L"");
        colors[column] = kColorWhite;
        return;
    }
    if (std::isnan(seconds))
        list.SetItemText(item, column, L"");
    else
        list.SetItemText(item, column, FormatDoubleGrouped(seconds * 1000.0).c_str());
    colors[column] = TimeColor(seconds, columnMax);
}

void StoreColors(CHopwatchListView& list, int item, const COLORREF* colors) {
    NArray<COLORREF>* cells = list.GetCellColors(item);
    if (cells == nullptr)
        return;
    if (cells->GetSize() != kHopwatchColumnCount && !cells->SetSize(kHopwatchColumnCount))
        return;
    for (int i = 0; i < kHopwatchColumnCount; ++i)
        (*cells)[i] = colors[i];
}

} // namespace

BOOL HopwatchLossPercent(const SHopwatchHost& host, DWORD& percent) {
    std::uint64_t answered = std::uint64_t{host.received} + host.lost;
    if (host.sent == 0 || answered == 0)
        return FALSE;
    percent = static_cast<DWORD>(std::uint64_t{host.lost} * 100 / answered);
    return TRUE;
}

void FillHopwatchRow(CHopwatchListView& list, int item, const SHopwatchHost& host,
                     const SHopwatchColumnMaxima& maxima) {
    // Columns 0, 1, 2, 4, 5 and 11 stay white.
    COLORREF colors[kHopwatchColumnCount];
    for (COLORREF& color : colors)
        color = kColorWhite;

    list.SetItemText(item, kColTtl, host.ttl != 0 ? FormatUnsigned(host.ttl, 10).c_str() : L"");
    list.SetItemImage(item, static_cast<int>(host.image));

    if (host.address != 0 && host.address != kHopwatchNone) {
        CString address = FormatDottedAddress(host.address);
        if (host.image == kImageAlternative)
            address.insert(0, L"  ");
        list.SetItemText(item, kColAddress, address.c_str());
    } else {
        list.SetItemText(item, kColAddress, L"");
    }
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

    if (host.sent == 0) {
        list.SetItemText(item, kColLost, L"");
    } else {
        list.SetItemText(item, kColLost, FormatUnsignedGrouped(host.lost).c_str());
        colors[kColLost] = maxima.lost == 0
                               ? kColorLightGreen
                               : StatisticsColor(static_cast<double>(host.lost) / maxima.lost);
    }

    double average = host.received != 0 ? host.sumRtt / host.received : 0.0;
    FillTime(list, item, kColLastRtt, host.received, host.lastRtt, maxima.lastRtt, colors);
    FillTime(list, item, kColMinRtt, host.received, host.minRtt, maxima.minRtt, colors);
    FillTime(list, item, kColAvgRtt, host.received, average, maxima.avgRtt, colors);
    FillTime(list, item, kColMaxRtt, host.received, host.maxRtt, maxima.maxRtt, colors);

    list.SetItemText(item, kColNote, host.note.c_str());
    StoreColors(list, item, colors);
    list.SetItemData(item, host.version + maxima.version);
}
