// The rows of the results list as timeline lanes: which lane each row shows and how it is named.
#include "timeline/timeline_rows.h"

#include "engine/hopwatch_records.h"
#include "engine/inet_address.h"

BOOL TimelineRowsFromSource(const CHopwatchRowSource& source, NArray<STimelineRow>& rows) {
    const int count = static_cast<int>(source.GetVisibleRows());
    if (!rows.SetSize(0) || !rows.SetSize(count))
        return FALSE;
    DWORD hop = 0;
    int used = 0;
    for (int r = 0; r < count; ++r) {
        SHopwatchHost host;
        if (!source.GetRow(r, host, 0, TRUE))
            continue;
        STimelineRow& row = rows[used++];
        // Alternative records carry no hop number; the first row is hop 0 (this computer).
        row.alternative = r > 0 && host.ttl == 0;
        if (!row.alternative)
            hop = host.ttl;
        row.ttl = hop;
        row.address = host.address;
        row.name = host.name;
        row.key.hop = hop;
        row.key.responder = row.alternative ? host.address : 0;
    }
    return rows.SetSize(used);
}

CString TimelineRowAddress(const STimelineRow& row) {
    if (row.address == 0 || row.address == kHopwatchNone)
        return L"-";
    return FormatDottedAddress(row.address);
}

BOOL TimelineRowKeys(const NArray<STimelineRow>& rows, NArray<STimelineLaneKey>& keys) {
    if (!keys.SetSize(rows.GetSize()))
        return FALSE;
    for (int i = 0; i < rows.GetSize(); ++i)
        keys[i] = rows[i].key;
    return TRUE;
}
