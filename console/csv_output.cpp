// The CSV form of a run's rows, read from the same row source as the table view.
#include "console/csv_output.h"

#include "engine/CHopwatchHist4Show.h"
#include "engine/inet_address.h"
#include "foundation/numbers.h"
#include "results/row_rules.h"

namespace {

// Milliseconds with three decimals, or empty when the row shows no such time.
CString TimeField(const SHopwatchHost& host, EHopwatchRowTime which) {
    double seconds = 0.0;
    return HopwatchRowTime(host, which, seconds) ? FormatDouble(seconds * 1000.0) : CString();
}

CString HistoryField(const CHopwatchHist4Show& display) {
    CString text;
    for (int i = 0; i < display.values.GetSize(); ++i) {
        const double v = display.values[i];
        if (i > 0)
            text += L' ';
        if (v > 0.0)
            text += FormatDouble(v * 1000.0);
        else
            text += v == kHistShowAwaiting ? L"-1" : L"-2";
    }
    return text;
}

} // namespace

CString CsvField(const CString& text) {
    if (text.find_first_of(L",\"\r\n") == CString::npos)
        return text;
    CString quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'"')
            quoted += L'"';
        quoted += c;
    }
    return quoted + L"\"";
}

CString FormatRowsCsv(const CHopwatchRowSource& rows, int historyValues) {
    CString out =
        L"row,ttl,image,address,name,note,sent,received,lost,last_ms,min_ms,avg_ms,max_ms";
    out += historyValues > 0 ? L",history,stddev_ms,jitter_ms\n" : L",stddev_ms,jitter_ms\n";
    const int count = static_cast<int>(rows.GetVisibleRows());
    CHopwatchHist4Show display;
    display.wanted = historyValues;
    for (int r = 0; r < count; ++r) {
        SHopwatchHost host;
        if (!rows.GetRow(r, host, 0, TRUE))
            break; // the run was reset under us; what was printed is consistent
        const CString address =
            HopwatchRowHasAddress(host) ? FormatDottedAddress(host.address) : CString();
        out += FormatUnsigned(static_cast<DWORD>(r), 10) + L',' + FormatUnsigned(host.ttl, 10) +
               L',' + FormatUnsigned(host.image, 10) + L',' + address + L',' + CsvField(host.name) +
               L',' + CsvField(host.note) + L',' + FormatUnsigned(host.sent, 10) + L',' +
               FormatUnsigned(host.received, 10) + L',' + FormatUnsigned(host.lost, 10) + L',' +
               TimeField(host, kRowTimeLast) + L',' + TimeField(host, kRowTimeMin) + L',' +
               TimeField(host, kRowTimeAvg) + L',' + TimeField(host, kRowTimeMax);
        if (historyValues > 0) {
            display.version = 0; // force a fresh window for every row
            rows.GetRowHistory(r, display);
            out += L',' + HistoryField(display);
        }
        out +=
            L',' + TimeField(host, kRowTimeStdDev) + L',' + TimeField(host, kRowTimeJitter) + L'\n';
    }
    return out;
}
