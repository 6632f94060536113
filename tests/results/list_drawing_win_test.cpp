// The results list on a real list view: cell colours, black text and the history graph in pixels.
#include <gtest/gtest.h>

#include <limits>

#include "results/CHopwatchListCtrl_win.h"
#include "results/gdi_canvas_win.h"
#include "results/list_columns.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kYellow = 0x66FFFF;
constexpr COLORREF kMarker = 0x123456;
constexpr int kWidth = 760;
constexpr int kHeight = 260;

// The list as the dialog holds it, with the parent's reflection made callable by the test host.
class CTestListCtrl : public CHopwatchListCtrl {
public:
    BOOL Reflect(NMHDR* header, LRESULT& result) {
        return OnChildNotify(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header), result);
    }
};

class ListDrawingWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, TestHostWindow());
        m_hWnd = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                   kWidth, kHeight, TestHostWindow(), nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, m_hWnd);
        ASSERT_TRUE(m_list.SubclassWindow(m_hWnd));
        TestHostNotifyHandler() = [this](NMHDR* header, LRESULT& result) {
            return header->hwndFrom == m_hWnd && m_list.Reflect(header, result);
        };
        m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        for (int c = 0; c < kHopwatchColumnCount; ++c)
            m_list.InsertColumn(c, HopwatchColumnHeader(c), LVCFMT_LEFT, c == kColNote ? 140 : 50,
                                c);
        // The list's own text colour is red, so that black text can only come from the hooks.
        m_list.SendMessage(LVM_SETTEXTCOLOR, 0, 0x0000FF);
    }
    void TearDown() override {
        TestHostNotifyHandler() = nullptr;
        if (m_hWnd != nullptr)
            ::DestroyWindow(m_hWnd);
    }

    void AddRows(int count) {
        CHopwatchListView& rows = m_list.GetRows();
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(rows.InsertItem(rows.GetItemCount()));
        ASSERT_TRUE(rows.ResizeRowStore(rows.GetItemCount()));
    }
    void SetColors(int item, COLORREF color) {
        NArray<COLORREF>* colors = m_list.GetRows().GetCellColors(item);
        ASSERT_NE(nullptr, colors);
        ASSERT_TRUE(colors->SetSize(kHopwatchColumnCount));
        for (int c = 0; c < kHopwatchColumnCount; ++c)
            (*colors)[c] = color;
    }
    void SetWindow(int item, std::initializer_list<double> values, double max) {
        CHopwatchHist4Show* window = m_list.GetRows().GetHistory(item);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(window->values.SetSize(static_cast<int>(values.size())));
        int i = 0;
        for (double v : values)
            window->values[i++] = v;
        window->max = max;
    }
    void Print(CGdiCanvas& canvas) {
        m_list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.GetDC().GetSafeHdc()),
                           PRF_CLIENT | PRF_ERASEBKGND);
    }
    RECT Cell(int item, int column) {
        RECT r = {};
        EXPECT_TRUE(m_list.GetSubItemRect(item, column, LVIR_BOUNDS, &r));
        return r;
    }
    // The graph's area inside the note cell, as the drawing computes it.
    RECT GraphArea(int item) {
        RECT r = Cell(item, kColNote);
        return RECT{r.left + 2, r.top + 2, r.right - 2, r.bottom - 3};
    }

    HWND m_hWnd = nullptr;
    CTestListCtrl m_list;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Four 16 x 16 images on the white mask colour, each a square of its own colour and place.
HIMAGELIST MakeImages() {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    CGdiCanvas strip(64, 16, kWhite);
    const COLORREF colors[] = {0x0000FF, 0x00AA00, 0xAA0000, 0x00AAAA};
    for (int i = 0; i < 4; ++i)
        strip.GetDC().FillSolidRect(i * 16 + 2 + i, 3, 9, 10 - i, colors[i]);
    HBITMAP bitmap = ::CreateCompatibleBitmap(strip.GetDC(), 64, 16);
    HDC dc = ::CreateCompatibleDC(strip.GetDC());
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::BitBlt(dc, 0, 0, 64, 16, strip.GetDC(), 0, 0, SRCCOPY);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ImageList_AddMasked(images, bitmap, kWhite);
    ::DeleteObject(bitmap);
    return images;
}

} // namespace

TEST_F(ListDrawingWin, CellsTakeTheirRowColoursAndRowsWithoutColoursAreWhite) {
    AddRows(2);
    SetColors(1, kYellow);
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    ASSERT_TRUE(canvas.IsValid());
    Print(canvas);
    for (int column : {kColLoss, kColLost, kColMaxRtt}) {
        RECT white = Cell(0, column);
        EXPECT_EQ(kWhite, canvas.At((white.left + white.right) / 2, (white.top + white.bottom) / 2))
            << column;
        RECT yellow = Cell(1, column);
        EXPECT_EQ(kYellow,
                  canvas.At((yellow.left + yellow.right) / 2, (yellow.top + yellow.bottom) / 2))
            << column;
    }
    // A column beyond a short colour array is white too.
    ASSERT_TRUE(m_list.GetRows().GetCellColors(1)->SetSize(4));
    CGdiCanvas again(kWidth, kHeight, kMarker);
    Print(again);
    RECT beyond = Cell(1, kColLastRtt);
    EXPECT_EQ(kWhite, again.At(beyond.left + 3, beyond.top + 3));
    RECT within = Cell(1, kColLoss);
    EXPECT_EQ(kYellow, again.At(within.left + 3, within.top + 3));
}

TEST_F(ListDrawingWin, TextIsBlackWhateverTheListsTextColour) {
    AddRows(1);
    SetColors(0, kYellow);
    ASSERT_TRUE(m_list.GetRows().SetItemText(0, kColHostName, L"WWWW.example"));
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    Print(canvas);
    auto colors = canvas.Colors(Cell(0, kColHostName));
    EXPECT_GT(colors[0x000000], 0);
    EXPECT_EQ(0u, colors.count(0x0000FF));
    for (const auto& [color, count] : colors) {
        // Black, yellow, or a smoothed edge between them: red and green equal and above blue.
        if (color == 0 || color == kYellow)
            continue;
        EXPECT_EQ(color & 0xFF, (color >> 8) & 0xFF) << std::hex << color;
    }
}

TEST_F(ListDrawingWin, ARowWithANoteShowsTheNoteAndNoGraph) {
    AddRows(1);
    SetWindow(0, {0.010, -1.0, -2.0, 0.020}, 0.020);
    ASSERT_TRUE(m_list.GetRows().SetItemText(0, kColNote, L"Host unreachable"));
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    Print(canvas);
    auto colors = canvas.Colors(Cell(0, kColNote));
    EXPECT_GT(colors[0x000000], 0); // the note's text
    EXPECT_EQ(0u, colors.count(0xCCCCCC));
    EXPECT_EQ(0u, colors.count(0xCC00CC));
    EXPECT_EQ(0u, colors.count(0x333399));
    // Without a note the same window is drawn.
    ASSERT_TRUE(m_list.GetRows().SetItemText(0, kColNote, L""));
    CGdiCanvas graph(kWidth, kHeight, kMarker);
    Print(graph);
    colors = graph.Colors(Cell(0, kColNote));
    EXPECT_GT(colors[0xCCCCCC], 0);
    EXPECT_EQ(1, colors[0xCC00CC]);
}

TEST_F(ListDrawingWin, OnlyAwaitingOutcomesDrawADottedLineAlongTheTop) {
    AddRows(1);
    SetWindow(0, {-1.0, -1.0, -1.0, -1.0, -1.0, -1.0}, kNaN);
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    Print(canvas);
    RECT area = GraphArea(0);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(0xCC00CCu, canvas.At(area.left + x, area.top)) << x;
        EXPECT_EQ(kWhite, canvas.At(area.left + x, area.top + 1)) << x;
        EXPECT_EQ(kWhite, canvas.At(area.left + x, area.bottom - 1)) << x;
    }
    EXPECT_EQ(kWhite, canvas.At(area.left + 6, area.top));
    EXPECT_EQ(6, canvas.Colors(Cell(0, kColNote))[0xCC00CC]);
}

TEST_F(ListDrawingWin, BarsRiseFromTheBottomInRampColoursOldestOnTheLeft) {
    AddRows(1);
    // Newest first: a full bar, a grey column, a half bar and a quarter bar (the oldest).
    SetWindow(0, {0.040, -2.0, 0.020, 0.010}, 0.040);
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    Print(canvas);
    RECT area = GraphArea(0);
    const int height = area.bottom - area.top;
    ASSERT_GT(height, 4);
    auto columnHeight = [&](int x, COLORREF color) {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            n += canvas.At(area.left + x, y) == color;
        return n;
    };
    // Quarter, half, grey, full from left to right; each bar ends at the bottom edge.
    EXPECT_EQ(static_cast<int>((height - 1) * 0.25) + 1, columnHeight(0, 0x80E6B2));
    EXPECT_EQ(0x80E6B2u, canvas.At(area.left, area.bottom - 1));
    EXPECT_EQ(static_cast<int>((height - 1) * 0.5) + 1, columnHeight(1, 0x66CCCC));
    EXPECT_EQ(height, columnHeight(2, 0xCCCCCC));
    EXPECT_EQ(height, columnHeight(3, 0x333399));
    EXPECT_EQ(kWhite, canvas.At(area.left + 4, area.bottom - 1));
    // Above each bar the cell keeps its background.
    EXPECT_EQ(kWhite, canvas.At(area.left, area.top));
    // The drawing asked for as many outcomes as the graph is wide.
    EXPECT_EQ(area.right - area.left, m_list.GetRows().GetHistory(0)->wanted);
}

TEST_F(ListDrawingWin, MoreOutcomesThanPixelsShowTheNewestThatFit) {
    AddRows(1);
    m_list.SetColumnWidth(kColNote, 10); // a 6-pixel graph
    CHopwatchHist4Show* window = m_list.GetRows().GetHistory(0);
    ASSERT_TRUE(window->values.SetSize(20));
    for (int i = 0; i < 20; ++i)
        window->values[i] = i < 6 ? -1.0 : -2.0; // the six newest are awaiting
    CGdiCanvas canvas(kWidth, kHeight, kMarker);
    Print(canvas);
    RECT area = GraphArea(0);
    ASSERT_EQ(6, area.right - area.left);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(0xCC00CCu, canvas.At(area.left + x, area.top)) << x;
    EXPECT_EQ(0u, canvas.Colors(Cell(0, kColNote)).count(0xCCCCCC));
    EXPECT_EQ(6, window->wanted);
}

TEST_F(ListDrawingWin, RowImagesLookAsTheListViewDrawsThemAndReadBackAsTheirIndex) {
    HIMAGELIST images = MakeImages();
    ASSERT_EQ(4, ImageList_GetImageCount(images));
    m_list.SetRowImages(images);
    AddRows(2);
    ASSERT_TRUE(m_list.GetRows().SetItemImage(0, 2));
    ASSERT_TRUE(m_list.GetRows().SetItemImage(1, 3));
    EXPECT_EQ(2, m_list.GetItemImage(0)); // as another program reads the list
    EXPECT_EQ(3, m_list.GetItemImage(1));

    // The same rows in a list view that draws its images itself.
    HWND plain =
        ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, kWidth, kHeight,
                          TestHostWindow(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, plain);
    CListCtrl reference;
    reference.Attach(plain);
    reference.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    for (int c = 0; c < kHopwatchColumnCount; ++c)
        reference.InsertColumn(c, HopwatchColumnHeader(c), LVCFMT_LEFT, c == kColNote ? 140 : 50,
                               c);
    reference.SetImageList(images, LVSIL_SMALL);
    reference.InsertItem(0, L"", 2);
    reference.InsertItem(1, L"", 3);
    auto expectSameImages = [&](const char* state) {
        CGdiCanvas canvas(kWidth, kHeight, kMarker);
        Print(canvas);
        CGdiCanvas expected(kWidth, kHeight, kMarker);
        reference.SendMessage(WM_PRINTCLIENT,
                              reinterpret_cast<WPARAM>(expected.GetDC().GetSafeHdc()),
                              PRF_CLIENT | PRF_ERASEBKGND);
        for (int item = 0; item < 2; ++item) {
            RECT icon = {};
            ASSERT_TRUE(reference.GetItemRect(item, &icon, LVIR_ICON));
            for (int y = icon.top; y < icon.bottom; ++y)
                for (int x = icon.left; x < icon.right; ++x)
                    ASSERT_EQ(expected.At(x, y), canvas.At(x, y))
                        << state << " " << item << " " << x << "," << y;
        }
    };
    expectSameImages("normal");
    // A selected row while its list has the focus: the list view blends the image itself.
    ASSERT_TRUE(m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    ASSERT_TRUE(reference.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    ::SetForegroundWindow(TestHostWindow());
    ::SetFocus(plain);
    ::SetFocus(m_hWnd);
    ASSERT_EQ(m_hWnd, ::GetFocus());
    // The reference keeps the state of having had the focus only while it has it: print it then.
    CGdiCanvas mine(kWidth, kHeight, kMarker);
    Print(mine);
    ::SetFocus(plain);
    ASSERT_EQ(plain, ::GetFocus());
    CGdiCanvas theirs(kWidth, kHeight, kMarker);
    reference.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(theirs.GetDC().GetSafeHdc()),
                          PRF_CLIENT | PRF_ERASEBKGND);
    RECT icon = {};
    ASSERT_TRUE(reference.GetItemRect(0, &icon, LVIR_ICON));
    for (int y = icon.top; y < icon.bottom; ++y)
        for (int x = icon.left; x < icon.right; ++x)
            ASSERT_EQ(theirs.At(x, y), mine.At(x, y)) << "selected " << x << "," << y;
    ::SetFocus(nullptr);
    ::DestroyWindow(plain);
    m_list.SetImageList(nullptr, LVSIL_SMALL);
    ImageList_Destroy(images);
}
