// CHopwatchTimelineWnd: the window, its status line and tooltip, and the mouse and keys.
#include "timeline/CHopwatchTimelineWnd_win.h"

#include <commctrl.h>

#include <cmath>

namespace {

const wchar_t kClassName[] = L"HopwatchTimelineWindow";
const wchar_t kHint[] = L"Wheel or + and - zoom; drag or arrows pan; Home: whole run; End: live "
                        L"edge; click a row (or Up, Down) for its band; Escape closes";
constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kDragThreshold = 3;

// The signed coordinates packed into a mouse message (windowsx.h would bring macros that clash
// with CWnd's members).
int LowCoordinate(LPARAM value) {
    return static_cast<short>(LOWORD(value));
}
int HighCoordinate(LPARAM value) {
    return static_cast<short>(HIWORD(value));
}

bool RegisterTimelineClass(HINSTANCE instance) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kClassName, &existing))
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    // The window's own procedure is CWnd's subclass procedure, put in once it exists.
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
}

} // namespace

CHopwatchTimelineWnd::CHopwatchTimelineWnd(const CHopwatchTimeline& model,
                                           const CHopwatchRowSource& rows)
    : m_model(&model), m_rows(&rows) {}

CHopwatchTimelineWnd::~CHopwatchTimelineWnd() {
    Close();
}

BOOL CHopwatchTimelineWnd::Open(HICON bigIcon, HICON smallIcon) {
    if (IsOpen()) {
        if (IsIconic())
            ShowWindow(SW_RESTORE);
        ::SetForegroundWindow(m_hWnd);
        return TRUE;
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!RegisterTimelineClass(instance))
        return FALSE;
    HWND hWnd = ::CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 960, 600, nullptr, nullptr,
                                  instance, nullptr);
    if (hWnd == nullptr)
        return FALSE;
    if (!SubclassWindow(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    m_font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    m_status = ::CreateWindowExW(0, L"STATIC", kHint,
                                 WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0,
                                 0, hWnd, reinterpret_cast<HMENU>(kStatusId), instance, nullptr);
    ::SendMessageW(m_status, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    if (m_tooltip.Create(hWnd))
        m_tooltip.AddPlacedTool(600);
    if (bigIcon != nullptr)
        SetIcon(bigIcon, TRUE);
    if (smallIcon != nullptr)
        SetIcon(smallIcon, FALSE);
    SetTimer(kRefreshTimer, kRefreshPeriodMs);
    RECT client = {};
    GetClientRect(&client);
    OnSize(client.right, client.bottom);
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void CHopwatchTimelineWnd::Close() {
    if (IsOpen())
        DestroyWindow();
}

CString CHopwatchTimelineWnd::GetStatusText() const {
    return m_status != nullptr ? CWnd(m_status).GetWindowText() : CString();
}

void CHopwatchTimelineWnd::Refresh(bool force) {
    if (!IsOpen() || (!force && !m_screen.IsStale(*m_model, *m_rows)))
        return;
    RECT client = {};
    GetClientRect(&client);
    m_screen.Refresh(*m_model, *m_rows, client.right, client.bottom, force);
    POINT mouse = {};
    if (!m_figures.empty() && ::GetCursorPos(&mouse) && ::ScreenToClient(m_hWnd, &mouse))
        ShowFigures(mouse.x, mouse.y);
    Invalidate(FALSE);
}

void CHopwatchTimelineWnd::SetSource(const CHopwatchTimeline& model,
                                     const CHopwatchRowSource& rows) {
    m_model = &model;
    m_rows = &rows;
    m_screen.ForgetRows();
    Refresh(true);
}

LRESULT CHopwatchTimelineWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_TIMER:
        if (wParam != kRefreshTimer)
            break;
        Refresh(false);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(LowCoordinate(lParam), HighCoordinate(lParam));
        return 0;
    case WM_MOUSELEAVE:
        ShowFigures(-1, -1);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), LowCoordinate(lParam), HighCoordinate(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(LowCoordinate(lParam), HighCoordinate(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(LowCoordinate(lParam), HighCoordinate(lParam));
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(wParam))
            return 0;
        break;
    case WM_DESTROY:
        KillTimer(kRefreshTimer);
        // Children and owned windows go with the window.
        m_status = nullptr;
        m_tooltip.Detach();
        m_figures.clear();
        break;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void CHopwatchTimelineWnd::OnSize(int width, int height) {
    if (m_status != nullptr)
        ::MoveWindow(m_status, 6, height - kTimelineStatusHeight + 3, width - 12,
                     kTimelineStatusHeight - 4, TRUE);
    if (width > 0 && height > 0)
        m_screen.Refresh(*m_model, *m_rows, width, height, false);
    Invalidate(FALSE);
}

void CHopwatchTimelineWnd::OnMouseMove(int x, int y) {
    if (m_dragging) {
        if (std::abs(x - m_dragX) >= kDragThreshold || m_dragged) {
            m_dragged = true;
            // Dragging to the right brings earlier times into view.
            m_screen.Viewport().Pan(m_dragX - x);
            m_dragX = x;
            Refresh(true);
        }
        return;
    }
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    ShowFigures(x, y);
}

void CHopwatchTimelineWnd::ShowFigures(int x, int y) {
    const CString text = m_screen.HoverText(x, y);
    if (text != m_figures) {
        m_figures = text;
        ::SetWindowTextW(m_status, text.empty() ? kHint : text.c_str());
    }
    if (!m_tooltip.IsWindow())
        return;
    POINT at = {x + 16, y + 20};
    ::ClientToScreen(m_hWnd, &at);
    m_tooltip.ShowPlacedTip(m_figures, at);
}

void CHopwatchTimelineWnd::Zoom(int x, double factor) {
    const STimelineLayout& layout = m_screen.Layout();
    int at = x - layout.plotLeft;
    at = at < 0 ? 0 : (at > layout.PlotWidth() ? layout.PlotWidth() : at);
    m_screen.Viewport().ZoomAt(at, factor);
    Refresh(true);
}

void CHopwatchTimelineWnd::OnMouseWheel(int delta, int screenX, int screenY) {
    POINT at = {screenX, screenY};
    ::ScreenToClient(m_hWnd, &at);
    // Each notch forward shows a fifth less time.
    Zoom(at.x, std::pow(0.8, delta / static_cast<double>(WHEEL_DELTA)));
}

void CHopwatchTimelineWnd::OnButtonDown(int x, int) {
    SetFocus();
    ::SetCapture(m_hWnd);
    m_dragging = true;
    m_dragged = false;
    m_dragX = x;
}

void CHopwatchTimelineWnd::OnButtonUp(int x, int y) {
    const bool click = m_dragging && !m_dragged;
    m_dragging = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (click && m_screen.SelectAt(x, y))
        Invalidate(FALSE);
}

BOOL CHopwatchTimelineWnd::OnKeyDown(WPARAM key) {
    const STimelineLayout& layout = m_screen.Layout();
    const int centre = layout.plotLeft + layout.PlotWidth() / 2;
    switch (key) {
    case VK_ADD:
    case VK_OEM_PLUS:
        Zoom(centre, 0.5);
        return TRUE;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        Zoom(centre, 2.0);
        return TRUE;
    case VK_LEFT:
    case VK_RIGHT:
        m_screen.Viewport().Pan((key == VK_LEFT ? -1 : 1) * layout.PlotWidth() / 10.0);
        Refresh(true);
        return TRUE;
    case VK_HOME:
        m_screen.Viewport().Home();
        Refresh(true);
        return TRUE;
    case VK_END:
        m_screen.Viewport().End();
        Refresh(true);
        return TRUE;
    case VK_UP:
    case VK_DOWN:
        m_screen.MoveSelection(key == VK_UP ? -1 : 1);
        Invalidate(FALSE);
        return TRUE;
    case VK_ESCAPE:
        DestroyWindow();
        return TRUE;
    default:
        return FALSE;
    }
}
