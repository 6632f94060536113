// CHopwatchTimelineWnd: the "Hopwatch Timeline" window: a lane per row over time, zoom and pan,
// the selected row's band, the figures under the mouse.
#pragma once

#include <windows.h>

#include "results/CHopwatchRowSource.h"
#include "timeline/CHopwatchTimeline.h"
#include "timeline/CTimelineScreen.h"
#include "ui/CDibSection.h"
#include "ui/CToolTipCtrl.h"
#include "ui/CWnd.h"

// A resizable top-level window of its own over a timeline model and the rows of the list (both
// not owned; they must outlive the window). While open it looks at the model four times a second
// and redraws when the model or the rows moved, so a live run shows as it goes. Mouse wheel and
// + / - zoom, dragging and the arrow keys pan, Home shows the whole run, End follows the live
// edge, Up and Down (or a click) choose the row of the band, Escape closes. The figures of the
// cell under the mouse show in a tooltip and in the status line. User-interface thread only.
class CHopwatchTimelineWnd : public CWnd {
public:
    static constexpr const wchar_t* kTitle = L"Hopwatch Timeline";
    static constexpr UINT kRefreshPeriodMs = 250;
    static constexpr int kStatusId = 100;

    CHopwatchTimelineWnd(const CHopwatchTimeline& model, const CHopwatchRowSource& rows);
    ~CHopwatchTimelineWnd() override;

    // Creates the window, or brings it back to the front when it is open. icon: the big and small
    // icons to show (may be null). FALSE when the window could not be created.
    BOOL Open(HICON bigIcon, HICON smallIcon);
    // Closes the window if it is open.
    void Close();
    bool IsOpen() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    // Draws the whole client area (width x height) into dc: the pixels of the heat map and band,
    // then the labels. The paint and the benchmarks call it.
    void Render(HDC dc, int width, int height);
    // Reads the model again if it moved (or always with force) and repaints.
    void Refresh(bool force);
    // Shows another timeline and its rows from now on (a recording opened again, or the live
    // run back); both must outlive the window or the next SetSource.
    void SetSource(const CHopwatchTimeline& model, const CHopwatchRowSource& rows);

    const CTimelineScreen& GetScreen() const { return m_screen; }
    CString GetStatusText() const;
    // The figures the tooltip shows; empty while it is hidden.
    CString GetTipText() const {
        return m_tooltip.IsWindowVisible() ? m_tooltip.GetToolText(m_hWnd) : CString();
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnSize(int width, int height);
    void OnPaint();
    void OnMouseMove(int x, int y);
    void OnMouseWheel(int delta, int screenX, int screenY);
    void OnButtonDown(int x, int y);
    void OnButtonUp(int x, int y);
    BOOL OnKeyDown(WPARAM key);
    void Zoom(int x, double factor);
    void ShowFigures(int x, int y);
    void DrawTexts(HDC dc);

    const CHopwatchTimeline* m_model;
    const CHopwatchRowSource* m_rows;
    CTimelineScreen m_screen;
    HWND m_status = nullptr;
    CToolTipCtrl m_tooltip;
    HFONT m_font = nullptr;
    CDibSection m_picture; // the heat map and band, then the labels over them
    bool m_dragging = false;
    bool m_dragged = false;
    int m_dragX = 0;
    CString m_figures; // shown now in the tooltip and the status line
};
