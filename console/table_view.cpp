// Text rendering of the results list for the console: aligned columns and a history bar graph.
#include "console/table_view.h"

#include <cmath>

#include "foundation/numbers.h"
#include "foundation/utf.h"
#include "results/hopwatch_colors.h"
#include "results/list_columns.h"
#include "results/row_rules.h"

namespace {

const wchar_t kBars[] = L"\u2581\u2582\u2583\u2584\u2585\u2586\u2587\u2588";
constexpr int kBarLevels = 8;
constexpr wchar_t kAwaitingGlyph = L'\u00B7';
constexpr wchar_t kNothingGlyph = L'\u00D7';
// The window's graph colours: bars ramp from 0x66CCCC to 0x333399, awaiting marks, grey columns.
constexpr COLORREF kGraphMid = 0x66CCCC;
constexpr COLORREF kGraphEnd = 0x333399;
constexpr COLORREF kAwaitingColor = 0xCC00CC;
constexpr COLORREF kNothingColor = 0xCCCCCC;
constexpr COLORREF kTextColor = 0x000000;

// Position within the window's largest time; 0 when there is no usable maximum.
double BarFraction(double value, double max) {
    if (!(max > 0.0))
        return 0.0;
    double t = value / max;
    return t > 1.0 ? 1.0 : t;
}

wchar_t GraphGlyph(double value, double max) {
    if (value >= 0.0) {
        int level = static_cast<int>((kBarLevels - 1) * BarFraction(value, max));
        return kBars[level];
    }
    return value == kHistShowAwaiting ? kAwaitingGlyph : kNothingGlyph;
}

COLORREF GraphGlyphColor(double value, double max) {
    if (value >= 0.0)
        return RampColor(kGraphMid, kGraphEnd, BarFraction(value, max));
    return value == kHistShowAwaiting ? kAwaitingColor : kNothingColor;
}

// A cell text with every control character (C0, DEL, C1) replaced by '?'.
CString Printable(const CString& text) {
    CString out = text;
    for (wchar_t& c : out) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            c = L'?';
    }
    return out;
}

// The list's twelve columns, then the console's own.
constexpr int kStdDevColumn = kHopwatchColumnCount;
constexpr int kJitterColumn = kHopwatchColumnCount + 1;
constexpr int kTableColumnCount = kHopwatchColumnCount + 2;

LPCWSTR ColumnHeader(int column) {
    if (column == kStdDevColumn)
        return L"StDev [ms]";
    if (column == kJitterColumn)
        return L"Jitter [ms]";
    return HopwatchColumnHeader(column);
}

bool RightAligned(int column) {
    return column >= kHopwatchColumnCount || HopwatchColumnRightAligned(column) != FALSE;
}

// A spread figure of a row as the list shows its times; empty when the row has none.
CString SpreadText(const CConsoleRowSnapshot& rows, int item, EHopwatchRowTime which) {
    double seconds = 0.0;
    if (item >= rows.GetRowCount() || !HopwatchRowTime(rows.Row(item), which, seconds))
        return CString();
    return FormatDoubleGrouped(seconds * 1000.0);
}

class CTableRenderer {
public:
    CTableRenderer(const CHopwatchListView& list, const CConsoleRowSnapshot& rows, bool color)
        : m_list(list), m_rows(rows), m_color(color) {}

    CString Render() {
        int items = m_list.GetItemCount();
        if (!m_cells.SetSize(items * kTableColumnCount) || !m_graphs.SetSize(items))
            return CString();
        for (int c = 0; c < kTableColumnCount; ++c)
            m_widths[c] = static_cast<int>(CString(ColumnHeader(c)).size());
        for (int item = 0; item < items; ++item) {
            for (int c = 0; c < kTableColumnCount; ++c) {
                CString& cell = Cell(item, c);
                if (c == kStdDevColumn || c == kJitterColumn)
                    cell = SpreadText(m_rows, item,
                                      c == kStdDevColumn ? kRowTimeStdDev : kRowTimeJitter);
                else
                    m_list.GetItemText(item, c, cell);
                cell = Printable(cell);
                if (c == kColNote && cell.empty()) {
                    m_graphs[item] = m_list.GetHistory(item);
                    if (m_graphs[item] != nullptr)
                        cell = FormatHistoryGraph(*m_graphs[item], kTableGraphWidth);
                }
                if (static_cast<int>(cell.size()) > m_widths[c])
                    m_widths[c] = static_cast<int>(cell.size());
            }
        }

        CString out;
        for (int c = 0; c < kTableColumnCount; ++c)
            AppendCell(out, c, ColumnHeader(c), false, kColorWhite, nullptr);
        EndLine(out, false);
        for (int item = 0; item < items; ++item) {
            for (int c = 0; c < kTableColumnCount; ++c) {
                AppendCell(out, c, Cell(item, c), m_color,
                           c < kHopwatchColumnCount ? m_list.GetCellColor(item, c) : kColorWhite,
                           c == kColNote ? m_graphs[item] : nullptr);
            }
            EndLine(out, m_color);
        }
        return out;
    }

private:
    CString& Cell(int item, int column) { return m_cells[item * kTableColumnCount + column]; }

    // Plain lines carry no trailing blanks (empty cells at the end of a row leave some).
    static void EndLine(CString& out, bool color) {
        if (!color) {
            const size_t end = out.find_last_not_of(L' ');
            out.erase(end == CString::npos ? 0 : end + 1);
        }
        out += L'\n';
    }

    // One padded cell. A graph cell colours each glyph in the graph's colour.
    void AppendCell(CString& out, int column, const CString& text, bool color, COLORREF back,
                    const CHopwatchHist4Show* graph) {
        if (column > 0)
            out += L"  ";
        int pad = m_widths[column] - static_cast<int>(text.size());
        bool right = RightAligned(column);
        if (color) {
            AppendTerminalColor(out, true, back);
            AppendTerminalColor(out, false, kTextColor);
        }
        if (right)
            out.append(pad, L' ');
        if (color && graph != nullptr)
            AppendGraph(out, *graph, text);
        else
            out += text;
        if (!right)
            out.append(pad, L' ');
        if (color)
            out += L"\033[0m";
    }

    static void AppendGraph(CString& out, const CHopwatchHist4Show& show, const CString& glyphs) {
        int count = static_cast<int>(glyphs.size());
        for (int i = 0; i < count; ++i) {
            double value = show.values[count - 1 - i];
            AppendTerminalColor(out, false, GraphGlyphColor(value, show.max));
            out += glyphs[i];
        }
        AppendTerminalColor(out, false, kTextColor);
    }

    const CHopwatchListView& m_list;
    const CConsoleRowSnapshot& m_rows;
    bool m_color;
    int m_widths[kTableColumnCount] = {};
    NArray<CString> m_cells;
    NArray<const CHopwatchHist4Show*> m_graphs; // per item: the graph shown, or nullptr
};

} // namespace

void AppendTerminalColor(CString& out, bool background, COLORREF color) {
    out += background ? L"\033[48;2;" : L"\033[38;2;";
    out += FormatUnsigned(color & 0xFF, 10) + L';' + FormatUnsigned((color >> 8) & 0xFF, 10) +
           L';' + FormatUnsigned((color >> 16) & 0xFF, 10) + L'm';
}

CString FormatHistoryGraph(const CHopwatchHist4Show& show, int width) {
    int count = show.values.GetSize();
    if (width < count)
        count = width > 0 ? width : 0;
    CString out;
    for (int i = count - 1; i >= 0; --i)
        out += GraphGlyph(show.values[i], show.max);
    return out;
}

CString FormatTableView(const CHopwatchListView& list, const CConsoleRowSnapshot& rows,
                        bool color) {
    return CTableRenderer(list, rows, color).Render();
}

std::string FormatTableViewUtf8(const CHopwatchListView& list, const CConsoleRowSnapshot& rows,
                                bool color) {
    return ToUtf8(FormatTableView(list, rows, color));
}
