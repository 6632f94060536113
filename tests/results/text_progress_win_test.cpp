// The text progress bar on a real progress control: its messages, invalidation and pixels.
#include <gtest/gtest.h>

#include "results/gdi_canvas_win.h"
#include "results/CTextProgressCtrl_win.h"

namespace {

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kMarker = 0x123456;
constexpr int kWidth = 200;
constexpr int kHeight = 24;

// Counts the paints the control receives.
class CCountingProgress : public CTextProgressCtrl {
public:
    int m_paints = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_PAINT)
            ++m_paints;
        return CTextProgressCtrl::WindowProc(msg, wParam, lParam);
    }
};

class TextProgressWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, TestHostWindow());
        m_hWnd = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, kWidth,
                                   kHeight, TestHostWindow(), nullptr, ::GetModuleHandleW(nullptr),
                                   nullptr);
        ASSERT_NE(nullptr, m_hWnd);
        ASSERT_TRUE(m_bar.SubclassWindow(m_hWnd));
        m_bar.SetBarColor(kRed);
        m_bar.SetBkColor(kWhite);
        PumpMessages();
        m_bar.m_paints = 0;
    }
    void TearDown() override {
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
    }
    // The control's picture as WM_PRINTCLIENT draws it.
    void Print(CGdiCanvas& canvas) {
        m_bar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.GetDC().GetSafeHdc()),
                          PRF_CLIENT);
    }

    HWND m_hWnd = nullptr;
    CCountingProgress m_bar;
};

const RECT kTextArea = {kWidth / 2 - 20, 0, kWidth / 2 + 20, kHeight};

bool Between(COLORREF c, COLORREF a, COLORREF b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int v = (c >> shift) & 0xFF, x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
        if (v < (x < y ? x : y) || v > (x < y ? y : x))
            return false;
    }
    return true;
}

// The middle of the bar holds text in the colour text over background: some pixels of exactly
// that colour and, where the text is smoothed, only blends of the two.
void ExpectText(const CGdiCanvas& canvas, COLORREF background, COLORREF text) {
    int drawn = 0;
    for (const auto& [color, count] : canvas.Colors(kTextArea)) {
        EXPECT_TRUE(Between(color, background, text)) << std::hex << color;
        if (color != background)
            drawn += count;
    }
    EXPECT_GT(drawn, 20);
    EXPECT_GT(canvas.Colors(kTextArea)[text], 0);
    // Left and right of the text lies only the plain fill.
    EXPECT_EQ(background, canvas.At(kTextArea.left - 20, kHeight / 2));
    EXPECT_EQ(background, canvas.At(kTextArea.right + 20, kHeight / 2));
}

} // namespace

TEST_F(TextProgressWin, AnswersTheProgressMessagesFromItsOwnFields) {
    EXPECT_EQ(0, m_bar.GetPos());
    m_bar.SetRange32(-50, 250);
    int lower = 0, upper = 0;
    m_bar.GetRange(lower, upper);
    EXPECT_EQ(-50, lower);
    EXPECT_EQ(250, upper);
    EXPECT_EQ(250, m_bar.SendMessage(PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(0, m_bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(10, 90)));
    EXPECT_EQ(10, m_bar.SendMessage(PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(90, m_bar.GetState().m_upper);

    EXPECT_EQ(0, m_bar.SetPos(40));
    EXPECT_EQ(1, m_bar.SetStep(7));
    EXPECT_EQ(40, m_bar.StepIt());
    EXPECT_EQ(47, m_bar.OffsetPos(-5));
    EXPECT_EQ(42, m_bar.GetPos());

    EXPECT_EQ(kRed, m_bar.SetBarColor(kGreen));
    EXPECT_EQ(kWhite, m_bar.SetBkColor(kRed));
    EXPECT_EQ(CLR_DEFAULT, m_bar.SetTextColor(kWhite));
    EXPECT_EQ(kWhite, m_bar.SetTextColor(CLR_DEFAULT));
}

TEST_F(TextProgressWin, KeepsItsTextAndCopiesItOnlyWhenItFits) {
    m_bar.SetWindowText(L"192.0.2.1");
    EXPECT_EQ(L"192.0.2.1", m_bar.GetWindowText());
    WCHAR small[4];
    EXPECT_EQ(0, m_bar.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)));
    EXPECT_STREQ(L"192", small);
    EXPECT_EQ(0, m_bar.SendMessage(WM_GETTEXT, 4, 0));
}

TEST_F(TextProgressWin, TheSameTextTwiceInvalidatesOnce) {
    ::ValidateRect(m_hWnd, nullptr);
    m_bar.SetWindowText(L"example.net 192.0.2.1");
    EXPECT_TRUE(HasUpdate(m_hWnd));
    ::ValidateRect(m_hWnd, nullptr);
    m_bar.SetWindowText(L"example.net 192.0.2.1");
    EXPECT_FALSE(HasUpdate(m_hWnd));
    m_bar.SetWindowText(L"");
    EXPECT_TRUE(HasUpdate(m_hWnd));
}

TEST_F(TextProgressWin, RedrawsAtOnceOnlyWhenTheBarMovesAWholePixel) {
    m_bar.SetRange32(0, 1000); // 0.2 pixels per step
    PumpMessages();
    m_bar.SetPos(0);
    m_bar.m_paints = 0;
    m_bar.SetPos(4); // 0.8 pixels: nothing to redraw
    EXPECT_EQ(0, m_bar.m_paints);
    EXPECT_FALSE(HasUpdate(m_hWnd));
    m_bar.SetPos(5); // the first whole pixel: painted before SetPos returns
    EXPECT_EQ(1, m_bar.m_paints);
    EXPECT_FALSE(HasUpdate(m_hWnd));
    m_bar.SetPos(9);
    EXPECT_EQ(1, m_bar.m_paints);
    m_bar.OffsetPos(1);
    EXPECT_EQ(2, m_bar.m_paints);
}

TEST_F(TextProgressWin, AnEmptyRangeDrawsNothingAndAsksForNoMorePaints) {
    m_bar.SetRange32(5, 5);
    m_bar.SetPos(5);
    ::UpdateWindow(m_hWnd);
    PumpMessages();
    EXPECT_FALSE(HasUpdate(m_hWnd));
    int paints = m_bar.m_paints;
    m_bar.SetPos(6);
    m_bar.SetPos(7);
    PumpMessages();
    EXPECT_EQ(paints, m_bar.m_paints);
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    ASSERT_TRUE(canvas.IsValid());
    Print(canvas);
    auto colors = canvas.Colors();
    ASSERT_EQ(1u, colors.size());
    EXPECT_EQ(kMarker, colors.begin()->first);
}

TEST_F(TextProgressWin, PercentAtTheRangeEndsIsDrawnInInverseColours) {
    m_bar.SetRange32(0, 10);
    m_bar.SetPos(0);
    CGdiCanvas empty(kWidth, kHeight, kMarker);
    Print(empty);
    // Nothing filled: all background, the text "0%" in the bar colour.
    auto colors = empty.Colors();
    EXPECT_EQ(0u, colors.count(kMarker));
    EXPECT_GT(colors[kWhite], kWidth * kHeight / 2);
    ExpectText(empty, kWhite, kRed);
    EXPECT_EQ(kWhite, empty.At(2, 2));
    EXPECT_EQ(kWhite, empty.At(kWidth - 3, kHeight - 3));

    m_bar.SetPos(10);
    CGdiCanvas full(kWidth, kHeight, kMarker);
    Print(full);
    colors = full.Colors();
    EXPECT_EQ(0u, colors.count(kMarker));
    EXPECT_GT(colors[kRed], kWidth * kHeight / 2);
    ExpectText(full, kRed, kWhite);
    EXPECT_EQ(kRed, full.At(2, 2));
    EXPECT_EQ(kRed, full.At(kWidth - 3, kHeight - 3));
    // "100%" is wider than "0%".
    EXPECT_GT(kWidth * kHeight - full.Colors()[kRed], kWidth * kHeight - empty.Colors()[kWhite]);
}

TEST_F(TextProgressWin, HalfwaySplitsTheBarAndATextColourOverridesTheInverse) {
    m_bar.SetRange32(0, 100);
    m_bar.SetPos(50);
    m_bar.SetWindowText(L"WWWWWWWW");
    m_bar.SetTextColor(kGreen);
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    Print(canvas);
    EXPECT_EQ(kRed, canvas.At(2, 2));
    EXPECT_EQ(kRed, canvas.At(kWidth / 2 - 1, 1));
    EXPECT_EQ(kWhite, canvas.At(kWidth / 2, 1));
    EXPECT_EQ(kWhite, canvas.At(kWidth - 3, kHeight - 3));
    // The text runs across both halves in the one colour.
    auto left = canvas.Colors(RECT{0, 0, kWidth / 2, kHeight});
    auto right = canvas.Colors(RECT{kWidth / 2, 0, kWidth, kHeight});
    EXPECT_GT(left[kGreen], 0);
    EXPECT_GT(right[kGreen], 0);
    EXPECT_GT(kWidth * kHeight / 2 - left[kRed], 20);
    EXPECT_GT(kWidth * kHeight / 2 - right[kWhite], 20);
    // Text switched off: only the two fills remain.
    m_bar.SetShowText(FALSE);
    CGdiCanvas plain(kWidth, kHeight, kMarker);
    Print(plain);
    auto colors = plain.Colors();
    EXPECT_EQ(2u, colors.size());
    EXPECT_EQ(kWidth * kHeight / 2, colors[kRed]);
}

TEST(TextProgressVerticalWin, FillsFromTheBottomAndNeverShowsText) {
    ASSERT_NE(nullptr, TestHostWindow());
    HWND hWnd =
        ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_VERTICAL, 300, 10,
                          30, 100, TestHostWindow(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, hWnd);
    {
        CTextProgressCtrl bar;
        ASSERT_TRUE(bar.SubclassWindow(hWnd));
        bar.SetBarColor(kRed);
        bar.SetBkColor(kWhite);
        bar.SetPos(25);
        bar.SetWindowText(L"WWW");
        CGdiCanvas canvas(30, 100, kMarker);
        bar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.GetDC().GetSafeHdc()),
                        PRF_CLIENT);
        auto colors = canvas.Colors();
        EXPECT_EQ(2u, colors.size());
        EXPECT_EQ(30 * 25, colors[kRed]);
        EXPECT_EQ(kRed, canvas.At(15, 99));
        EXPECT_EQ(kWhite, canvas.At(15, 74));
    }
    ::DestroyWindow(hWnd);
}
