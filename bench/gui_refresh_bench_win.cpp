// Benchmark under Wine: one refresh tick of 384 rows through the real results list control,
// painting included; prints microseconds per tick and the share of the 125 ms tick.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/long_route.h"
#include "results/CHopwatchListCtrl_win.h"
#include "results/CHopwatchRecordRows.h"
#include "results/CHopwatchRowRefresher.h"
#include "results/list_columns.h"

namespace {

constexpr int kHops = kLongRouteHops;
constexpr int kRows = kLongRouteRows;
constexpr double kTickMicroseconds = 125000.0;

bool g_paint = true;

void Pump(HWND window) {
    if (g_paint)
        ::UpdateWindow(window);
    MSG msg;
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        ::DispatchMessageW(&msg);
}

template <class Change>
double Measure(CHopwatchRowRefresher& refresher, CHopwatchRecordRows& rows, CHopwatchListCtrl& list,
               HWND window, int ticks, Change change) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < ticks; ++i) {
        change(i);
        refresher.Refresh(rows, list.GetRows());
        Pump(window);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::micro>(elapsed).count() / ticks;
}

void Print(const char* what, double microseconds) {
    std::printf("%-40s %10.1f us/tick  %7.3f %% of a 125 ms tick\n", what, microseconds,
                100.0 * microseconds / kTickMicroseconds);
}

} // namespace

int wmain() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    ::InitCommonControlsEx(&icc);
    // A visible top-level window of the main window's size holding the list, so painting counts.
    HWND frame =
        ::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 500,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    HWND view = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                  880, 460, frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CHopwatchListCtrl list;
    if (frame == nullptr || view == nullptr || !list.SubclassWindow(view)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    list.SetExtendedStyle(0x00010021);
    for (int c = 0; c < kHopwatchColumnCount; ++c)
        list.InsertColumn(c, HopwatchColumnHeader(c),
                          HopwatchColumnRightAligned(c) ? LVCFMT_RIGHT : LVCFMT_LEFT, 70, c);
    CHopwatchRecordRows rows;
    if (!FillLongRoute(rows)) {
        std::fprintf(stderr, "out of memory\n");
        return 1;
    }
    CHopwatchRowRefresher refresher;
    double first = Measure(refresher, rows, list, frame, 1, [](int) {});
    Measure(refresher, rows, list, frame, 5,
            [&](int) { rows.SetDataVersion(rows.GetDataVersion() + 1); });
    double idle = Measure(refresher, rows, list, frame, 200, [](int) {});
    DWORD id = 1000;
    double oneHop = Measure(refresher, rows, list, frame, 50, [&](int i) {
        SHopwatchHost& host = rows.Host(1 + i % (kHops - 1));
        host.version++;
        host.sent++;
        host.received++;
        host.sumRtt += host.lastRtt;
        rows.History(1 + i % (kHops - 1)).Add(id++ & 0xFFFF, host.lastRtt);
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });
    g_paint = false;
    double oneHopNoPaint = Measure(refresher, rows, list, frame, 50, [&](int i) {
        SHopwatchHost& host = rows.Host(1 + i % (kHops - 1));
        host.version++;
        host.sent++;
        rows.SetDataVersion(rows.GetDataVersion() + 1);
    });
    std::printf("refresh of %d rows through the real list view, painting included\n", kRows);
    Print("first refresh (inserts every row)", first);
    Print("nothing changed", idle);
    Print("one hop changed (every row refilled)", oneHop);
    Print("the same without painting", oneHopNoPaint);
    ::DestroyWindow(frame);
    return 0;
}
