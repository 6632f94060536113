// CHopwatchListCtrl: the results list: per-cell colours, black text and the
// history graph.
#include "results/CHopwatchListCtrl_win.h"

#include "results/history_graph.h"
#include "results/list_columns.h"

CHopwatchListCtrl::CHopwatchListCtrl() : m_rows(*this) {}
CHopwatchListCtrl::~CHopwatchListCtrl() = default;

BOOL DrawHistoryGraph(CDC& dc, const RECT& bounds, CHopwatchHist4Show& window, int scale,
                      CDibSection* canvas) {
    SPixelRect area;
    if (!HistoryGraphArea({bounds.left, bounds.top, bounds.right, bounds.bottom}, area, scale))
        return FALSE;
    const int columns = area.Width() / scale;
    if (columns < 1)
        return FALSE;
    window.wanted = columns;
    const int count = HistoryGraphColumnCount(window.values.GetSize(), columns);
    if (count == 0)
        return TRUE;
    const int width = count * scale < area.Width() ? count * scale : area.Width();
    const int height = area.Height();
    if (canvas != nullptr && canvas->Reserve(dc, width, height) &&
        ::BitBlt(canvas->GetSafeHdc(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY)) {
        ::GdiFlush();
        RenderHistoryGraph(canvas->GetBits(), canvas->GetWidth(), width, height,
                           window.values.GetData(), count, window.max, scale);
        return ::BitBlt(dc, area.left, area.top, width, height, canvas->GetSafeHdc(), 0, 0,
                        SRCCOPY);
    }
    for (int x = 0; x < count; ++x) {
        const double value = window.values[HistoryGraphValueIndex(x, count)];
        const SGraphColumn column =
            HistoryGraphColumn(value, window.max, area.top, area.bottom, scale);
        const RECT pixels = {area.left + x * scale, column.top, area.left + (x + 1) * scale,
                             column.bottom};
        dc.FillSolidRect(pixels, column.color);
    }
    return TRUE;
}

void CHopwatchListCtrl::SetRowImages(HIMAGELIST images) {
    SetImageList(images, LVSIL_SMALL);
    m_rowImages.Reset();
    m_hasFocus = ::GetFocus() == m_hWnd; // in case it came before the subclass
    Invalidate(FALSE);
}

void CHopwatchListCtrl::TakePaintSettings() {
    m_paintImages = GetImageList(LVSIL_SMALL);
    m_paintBackground = static_cast<COLORREF>(SendMessage(LVM_GETBKCOLOR));
}

bool CHopwatchListCtrl::ListDrawsImage(int item) const {
    return m_hasFocus && GetItemState(item, LVIS_SELECTED | LVIS_CUT) != 0;
}

void CHopwatchListCtrl::DrawRowImage(CDC& dc, int item) {
    if (ListDrawsImage(item))
        return;
    if (!m_painting)
        TakePaintSettings();
    RECT icon = {};
    int width = 0;
    int height = 0;
    if (m_paintImages == nullptr || !ImageList_GetIconSize(m_paintImages, &width, &height) ||
        !GetItemRect(item, &icon, LVIR_ICON))
        return;
    m_rowImages.Draw(dc, m_paintImages, m_rows.GetItemImage(item),
                     icon.left + (icon.right - icon.left - width) / 2,
                     icon.top + (icon.bottom - icon.top - height) / 2, m_paintBackground,
                     m_rows.GetCellColor(item, kColTtl));
}

BOOL CHopwatchListCtrl::DoSubItemPostPaint(CDC& dc, int item, int sub, UINT, LPARAM) {
    if (sub == kColTtl) {
        DrawRowImage(dc, item);
        return TRUE;
    }
    if (sub != kColNote)
        return FALSE;
    CHopwatchHist4Show* window = m_rows.GetHistory(item);
    if (window == nullptr || !m_rows.GetText(item, kColNote).empty())
        return FALSE;
    RECT bounds = {};
    if (!GetSubItemRect(item, kColNote, LVIR_BOUNDS, &bounds))
        return FALSE;
    return DrawHistoryGraph(dc, bounds, *window, m_graphScale, &m_graphCanvas);
}

BOOL CHopwatchListCtrl::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
        NMLVDISPINFOW& info = *reinterpret_cast<NMLVDISPINFOW*>(lParam);
        m_rows.AnswerDisplayInfo(info);
        // While painting, the list view asks for the image to draw it; the post-paint copies it
        // from the strip instead.
        if ((info.item.mask & LVIF_IMAGE) != 0 && m_painting && !ListDrawsImage(info.item.iItem))
            info.item.iImage = I_IMAGENONE;
        result = 0;
        return TRUE;
    }
    return CCDListCtrl::OnChildNotify(msg, wParam, lParam, result);
}

LRESULT CHopwatchListCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Followed here rather than asked for at each row: asking where the focus is costs a round
    // trip to the window system on some platforms.
    if (msg == WM_SETFOCUS)
        m_hasFocus = true;
    else if (msg == WM_KILLFOCUS)
        m_hasFocus = false;
    if (msg != WM_PAINT && msg != WM_PRINTCLIENT)
        return CCDListCtrl::WindowProc(msg, wParam, lParam);
    const bool painting = m_painting;
    if (!painting)
        TakePaintSettings();
    m_painting = true;
    LRESULT result = CCDListCtrl::WindowProc(msg, wParam, lParam);
    m_painting = painting;
    return result;
}
