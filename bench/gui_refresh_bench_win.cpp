// Benchmark under Wine: one refresh tick of 384 rows through the real results list control in the
// main window's own dialog template, painting included; prints milliseconds per tick, elapsed and
// the process's own CPU time (which a busy machine does not inflate), and the share of the
// 125 ms tick.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>

#include "bench/long_route.h"
#include "resources/resource_ids.h"
#include "results/CHopwatchListCtrl_win.h"
#include "results/CHopwatchRecordRows.h"
#include "results/CHopwatchRowRefresher.h"
#include "results/list_columns.h"
#include "ui/CDialog.h"
#include "ui/CImageList.h"

namespace {

constexpr int kHops = kLongRouteHops;
constexpr int kRows = kLongRouteRows;
constexpr double kTickMilliseconds = 125.0;

struct STiming {
    double elapsed; // milliseconds per tick
    double cpu;     // milliseconds of the process's CPU time per tick
};

double ProcessCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

// The main window's template with its results list set up as the program sets it up, so that
// the list's notifications take the program's own road through the dialog.
class CBenchDialog : public CDialog {
public:
    CBenchDialog() : CDialog(IDD_HOPWATCH_DIALOG) {}
    CHopwatchListCtrl m_list;
    CImageList m_images;

protected:
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(IDC_RESULTS, m_hWnd);
        m_list.SetExtendedStyle(m_list.GetExtendedStyle() | 0x00010021);
        m_images.Create(GetResourceInstance(), IDB_ROW_IMAGES, 16, 8, 0xFFFFFF);
        m_list.SetImageList(m_images, LVSIL_SMALL);
        for (int c = 0; c < kHopwatchColumnCount; ++c)
            m_list.InsertColumn(c, HopwatchColumnHeader(c),
                                HopwatchColumnRightAligned(c) ? LVCFMT_RIGHT : LVCFMT_LEFT, 70, c);
        return TRUE;
    }
};

void Pump(HWND window) {
    ::UpdateWindow(window);
    MSG msg;
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        ::DispatchMessageW(&msg);
}

template <class Change>
STiming Measure(CHopwatchRowRefresher& refresher, CHopwatchRecordRows& rows, CBenchDialog& dialog,
                int ticks, Change change) {
    auto start = std::chrono::steady_clock::now();
    double cpu = ProcessCpuMilliseconds();
    for (int i = 0; i < ticks; ++i) {
        change(i);
        refresher.Refresh(rows, dialog.m_list.GetRows());
        Pump(dialog.m_list);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    return {std::chrono::duration<double, std::milli>(elapsed).count() / ticks,
            (ProcessCpuMilliseconds() - cpu) / ticks};
}

void Print(const char* what, const STiming& timing, double target) {
    std::printf("%-34s %9.3f ms (cpu %8.3f ms)  %7.3f %% of a 125 ms tick  (target: below %g ms)\n",
                what, timing.elapsed, timing.cpu, 100.0 * timing.elapsed / kTickMilliseconds,
                target);
}

} // namespace

int wmain() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    ::InitCommonControlsEx(&icc);
    CBenchDialog dialog;
    if (!dialog.Create(nullptr)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    // Visible at the size of a main window with every column on screen, so that painting counts.
    ::SetWindowPos(dialog.m_hWnd, nullptr, 0, 0, 900, 500, SWP_NOZORDER | SWP_SHOWWINDOW);
    ::SetWindowPos(dialog.m_list, nullptr, 0, 0, 880, 460, SWP_NOZORDER);
    CHopwatchRecordRows rows;
    if (!FillLongRoute(rows)) {
        std::fprintf(stderr, "out of memory\n");
        return 1;
    }
    CHopwatchRowRefresher refresher;
    STiming first = Measure(refresher, rows, dialog, 1, [](int) {});
    // Every row drawn once, so each history window knows its width.
    Measure(refresher, rows, dialog, 5,
            [&](int) { rows.SetDataVersion(rows.GetDataVersion() + 1); });
    STiming idle = Measure(refresher, rows, dialog, 200, [](int) {});
    DWORD id = 1000;
    STiming oneHop = Measure(refresher, rows, dialog, 50, [&](int i) {
        // Hops 1..20 are on screen: the one that changed is repainted.
        SHopwatchHost& host = rows.Host(1 + i % 20);
        host.version++;
        host.sent++;
        host.received++;
        host.sumRtt += host.lastRtt;
        rows.History(1 + i % 20).Add(id++ & 0xFFFF, host.lastRtt);
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });
    STiming oneHopOff = Measure(refresher, rows, dialog, 50, [&](int i) {
        SHopwatchHost& host = rows.Host(kHops - 1 - i % 20);
        host.version++;
        host.sent++;
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });
    // The largest last reply time moves: every row's "Last RT" cell takes another colour.
    SHopwatchColumnMaxima maxima;
    maxima.sent = 1000;
    maxima.received = 990;
    maxima.lost = 10;
    maxima.minRtt = maxima.avgRtt = maxima.maxRtt = 0.150;
    STiming recolour = Measure(refresher, rows, dialog, 50, [&](int i) {
        maxima.lastRtt = 0.100 + 0.001 * (i % 40);
        rows.SetColumnMaxima(maxima);
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });
    std::printf("refresh of %d rows through the real list view, painting included\n", kRows);
    Print("first refresh (inserts every row)", first, 100);
    Print("nothing changed", idle, 1);
    Print("one hop changed, on screen", oneHop, 5);
    Print("one hop changed, off screen", oneHopOff, 5);
    Print("a column recoloured by its maximum", recolour, 5);
    ::DestroyWindow(dialog.m_hWnd);
    return 0;
}
