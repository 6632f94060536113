// CAboutBox on real windows: its built-in template, its texts and its size fitted to the body.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/CAboutBox.h"
#include "support/version_resource_builder.h"

namespace {

void Pump() {
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

CString Text(HWND hWnd) {
    wchar_t buffer[2048] = {};
    ::GetWindowTextW(hWnd, buffer, 2048);
    return buffer;
}

RECT ClientOf(HWND hWnd) {
    RECT r = {};
    ::GetClientRect(hWnd, &r);
    return r;
}

} // namespace

TEST(AboutBox, ShowsTheVersionTextsInItsBuiltInTemplate) {
    std::vector<BlockBytes> strings = {VersionString(u"ProductName", u"Hopwatch"),
                                       VersionString(u"InternalName", u"Hopwatch"),
                                       VersionString(u"CompanyName", u"ORVANE"),
                                       VersionString(u"Comments", u"A comment line that is "
                                                                  u"clearly wider than the box "
                                                                  u"the template gives the body")};
    BlockBytes resource = VersionResource(u"040904b0", strings);
    CNVersionInfo info;
    ASSERT_TRUE(info.ReadBytes(resource.data(), resource.size()));
    CAboutBox box(nullptr, &info);
    ASSERT_TRUE(box.Create());
    Pump();
    HWND hWnd = box.GetSafeHwnd();
    EXPECT_EQ(Text(hWnd), L"About Hopwatch");
    HWND body = ::GetDlgItem(hWnd, CAboutBox::kBodyId);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(Text(body), L"Hopwatch\r\nRelease V1.5.19.0\r\nORVANE\r\nA comment line that is "
                          L"clearly wider than the box the template gives the body\r\n");
    EXPECT_NE(::GetWindowLongW(body, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_NE(::GetDlgItem(hWnd, CAboutBox::kIconId), nullptr);
    EXPECT_NE(::GetDlgItem(hWnd, IDOK), nullptr);
    EXPECT_NE(::GetWindowLongW(hWnd, GWL_STYLE) & WS_THICKFRAME, 0);

    // The body's client area fits the widest line (plus its margin), and the OK button stays
    // to the right of it, anchored to the bottom-right corner.
    HDC dc = ::GetDC(body);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(hWnd, WM_GETFONT, 0, 0)));
    const CString widest = L"A comment line that is clearly wider than the box the template "
                           L"gives the body";
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, widest.c_str(), static_cast<int>(widest.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(body, dc);
    EXPECT_EQ(ClientOf(body).right, extent.cx + 8);
    EXPECT_GE(ClientOf(body).bottom, 64);
    RECT bodyRect, okRect;
    ::GetWindowRect(body, &bodyRect);
    ::GetWindowRect(::GetDlgItem(hWnd, IDOK), &okRect);
    EXPECT_GT(okRect.left, bodyRect.right);

    // The body answers its colour request with the window colour's brush.
    HDC bodyDc = ::GetDC(body);
    LRESULT brush = ::SendMessageW(hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(bodyDc),
                                   reinterpret_cast<LPARAM>(body));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(::GetBkMode(bodyDc), TRANSPARENT);
    ::ReleaseDC(body, bodyDc);
    ::DestroyWindow(hWnd);
}

TEST(AboutBox, WithoutVersionDataShowsNotAvailable) {
    CNVersionInfo empty;
    const BYTE nothing[16] = {};
    EXPECT_FALSE(empty.ReadBytes(nothing, sizeof(nothing)));
    CAboutBox box(nullptr, &empty);
    EXPECT_EQ(box.GetCaption(), L"About ");
    EXPECT_EQ(box.GetBody(), L"<n/a>");
    ASSERT_TRUE(box.Create());
    Pump();
    EXPECT_EQ(Text(box.GetSafeHwnd()), L"About ");
    EXPECT_EQ(Text(::GetDlgItem(box.GetSafeHwnd(), CAboutBox::kBodyId)), L"<n/a>");
    // Short text: the body is at least 64 pixels high.
    EXPECT_EQ(ClientOf(::GetDlgItem(box.GetSafeHwnd(), CAboutBox::kBodyId)).bottom, 64);
    ::DestroyWindow(box.GetSafeHwnd());
}
