// The list part of the report's snapshot, read from the results list control through its messages.
#include "report/report_list_control_win.h"

#include <commctrl.h>

#include <vector>

namespace {

// Longest text read from a cell or header; the list's own cells are far shorter.
constexpr int kMaxCellText = 65536;

CString ItemText(HWND list, int item, int column) {
    // LVM_GETITEMTEXTW says how much it copied, not how long the text is: grow while it fills
    // the buffer.
    for (int size = 256; size <= kMaxCellText; size *= 4) {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(size), L'\0');
        LVITEMW request = {};
        request.iSubItem = column;
        request.pszText = buffer.data();
        request.cchTextMax = size;
        const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                            reinterpret_cast<LPARAM>(&request));
        if (length < size - 1)
            return CString(request.pszText, static_cast<std::size_t>(length > 0 ? length : 0));
    }
    return CString();
}

int ItemImage(HWND list, int item) {
    LVITEMW request = {};
    request.mask = LVIF_IMAGE;
    request.iItem = item;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request)))
        return -1;
    return request.iImage;
}

BOOL ReadHeader(HWND header, int column, SHopwatchReportColumn& out) {
    wchar_t text[1024] = {};
    HDITEMW request = {};
    request.mask = HDI_TEXT | HDI_FORMAT;
    request.pszText = text;
    request.cchTextMax = static_cast<int>(sizeof text / sizeof text[0]);
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&request)))
        return FALSE;
    out.header = text;
    out.format = request.fmt;
    return TRUE;
}

} // namespace

BOOL SnapshotReportListControl(HWND listView, const CHopwatchListView& rows,
                               SHopwatchReportInput& input) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0));
    const LRESULT columnCount =
        header != nullptr ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    const int columns = columnCount > 0 ? static_cast<int>(columnCount) : 0;
    if (!input.columns.SetSize(columns))
        return FALSE;
    for (int c = 0; c < columns; ++c)
        if (!ReadHeader(header, c, input.columns[c]))
            input.columns[c] = SHopwatchReportColumn();
    const LRESULT itemCount = SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
    const int count = itemCount > 0 ? static_cast<int>(itemCount) : 0;
    if (!input.items.SetSize(count))
        return FALSE;
    for (int r = 0; r < count; ++r) {
        SHopwatchReportItem& item = input.items[r];
        if (!item.texts.SetSize(columns) || !item.colors.SetSize(columns))
            return FALSE;
        for (int c = 0; c < columns; ++c) {
            item.texts[c] = ItemText(listView, r, c);
            item.colors[c] = rows.GetCellColor(r, c);
        }
        item.image = ItemImage(listView, r);
    }
    return TRUE;
}
