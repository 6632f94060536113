// Writes the rows of a run as CSV, taking every record through the data model's snapshot calls.
#include "console/csv_output.h"

#include <cmath>

#include "engine/CHopwatchData.h"
#include "engine/inet_address.h"
#include "foundation/numbers.h"

namespace {

// Milliseconds with three decimals, or empty when there is no value to show.
CString MsField(double seconds, bool hasValue) {
    if (!hasValue || std::isnan(seconds))
        return CString();
    return FormatDouble(seconds * 1000.0);
}

CString HistoryField(const CHopwatchHist4Show& display) {
    CString text;
    for (int i = 0; i < display.values.GetSize(); ++i) {
        double v = display.values[i];
        if (i > 0)
            text += L' ';
        if (v > 0.0)
            text += MsField(v, true);
        else
            text += v == -1.0 ? L"-1" : L"-2";
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

CString FormatRowsCsv(const CHopwatchData& data, int historyValues) {
    CString out =
        L"row,ttl,image,address,name,note,sent,received,lost,last_ms,min_ms,avg_ms,max_ms";
    out += historyValues > 0 ? L",history\n" : L"\n";
    int rows = static_cast<int>(data.GetVisibleRows());
    CHopwatchHist4Show display;
    display.wanted = historyValues;
    for (int r = 0; r < rows; ++r) {
        SHopwatchHost host;
        if (!data.GetRow(r, host, 0, TRUE))
            break; // the run was reset under us; what was printed is consistent
        bool replies = host.received != 0;
        CString address;
        if (host.address != 0 && host.address != 0xFFFFFFFF)
            address = FormatDottedAddress(host.address);
        out += FormatUnsigned(static_cast<DWORD>(r), 10) + L',' + FormatUnsigned(host.ttl, 10) +
               L',' + FormatUnsigned(host.image, 10) + L',' + address + L',' + CsvField(host.name) +
               L',' + CsvField(host.note) + L',' + FormatUnsigned(host.sent, 10) + L',' +
               FormatUnsigned(host.received, 10) + L',' + FormatUnsigned(host.lost, 10) + L',' +
               MsField(host.lastRtt, replies) + L',' + MsField(host.minRtt, replies) + L',' +
               MsField(replies ? host.sumRtt / host.received : 0.0, replies) + L',' +
               MsField(host.maxRtt, replies);
        if (historyValues > 0) {
            display.version = 0; // force a fresh window for every row
            data.GetRowHistory(r, display);
            out += L',' + HistoryField(display);
        }
        out += L'\n';
    }
    return out;
}
