// Text rendering of the results list for the console: aligned columns and a history bar graph.
#pragma once

#include <string>

#include "console/CConsoleRowSnapshot.h"
#include "engine/CHopwatchHist4Show.h"
#include "foundation/base_types.h"
#include "results/CHopwatchListView.h"

// Outcomes shown in the "Note / History" column. Give the list this width before its first
// refresh (list.SetHistoryWidth(kTableGraphWidth)) so the windows are built that wide.
constexpr int kTableGraphWidth = 32;

// Appends the 24-bit ANSI escape sequence of color (0x00BBGGRR) as background or foreground.
void AppendTerminalColor(CString& out, bool background, COLORREF color);

// One character per outcome of a history window, oldest on the left and newest on the right, as
// the window draws it, at most width characters (the newest ones):
//   U+2581..U+2588 "▁▂▃▄▅▆▇█"  a reply; the height is the time against the window's largest,
//                               like the window's bars (a reply always shows at least "▁");
//   U+00B7 "·"                 sent and still awaiting its reply (the window's top dot);
//   U+00D7 "×"                 nothing to show: lost, answered by another host of the hop, or
//                               no usable time (the window's grey column).
CString FormatHistoryGraph(const CHopwatchHist4Show& show, int width);

// The list as the window shows it, and two columns of the console's own after it: a line of the
// column headers, then one line per item with every cell text padded to its column's width
// (right- or left-aligned like the window), columns separated by two spaces. The "Note /
// History" cell shows the note, or the history graph when the note is empty. "StDev [ms]" and
// "Jitter [ms]" come from rows (item r from row r; empty where rows has none or fewer than two
// replies). Control characters in cell texts are shown as '?', so names from the network cannot
// drive the terminal. With color, every cell gets its list background colour as a 24-bit ANSI
// background with black text (graph glyphs in the graph's colours; the console's own columns
// white), reset after each cell; without it no escape sequence appears. Every line ends with
// "\n".
CString FormatTableView(const CHopwatchListView& list, const CConsoleRowSnapshot& rows, bool color);
// The same as UTF-8 bytes.
std::string FormatTableViewUtf8(const CHopwatchListView& list, const CConsoleRowSnapshot& rows,
                                bool color);
