// What the HTML report is made from: a snapshot of the results list, the dialog's times and texts.
#pragma once

#include <cstddef>

#include "foundation/CNTimeStamp.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "timeline/timeline_report.h"

// Justification bits of a header item's format, as the header control keeps them.
constexpr int kReportHeaderJustifyMask = 0x0003;
constexpr int kReportHeaderLeft = 0x0000;
constexpr int kReportHeaderRight = 0x0001;
constexpr int kReportHeaderCenter = 0x0002;

// One column of the list: the header's text and format bits.
struct SHopwatchReportColumn {
    CString header;
    int format = kReportHeaderLeft;
};

// One list item as shown: a text per column (a text that could not be read is empty; missing
// columns count as empty), the image index (negative when none or unreadable) and the row's cell
// colours (0x00BBGGRR; columns beyond the array are white).
struct SHopwatchReportItem {
    NArray<CString> texts;
    int image = -1;
    NArray<COLORREF> colors;
};

// Pixels of a bitmap as GDI's GetBitmapBits gives them, not owned: rows top first, `rowBytes`
// apart, 4 bytes per pixel (blue, green, red, unused). The mask, when present, holds 1 bit per
// pixel, most significant bit first, 1 = transparent, rows `maskRowBytes` apart. A null `bgrx`
// means there is no image.
struct SHopwatchReportImage {
    int width = 0;
    int height = 0;
    const BYTE* bgrx = nullptr;
    std::size_t bgrxBytes = 0;
    int rowBytes = 0;
    const BYTE* mask = nullptr;
    std::size_t maskBytes = 0;
    int maskRowBytes = 0;
};

// The program's version texts, already formatted by whoever knows the version: `generator` with
// "%p %g %V", `footer` with "%p</a> %g %V " (it closes the footer's link itself). The build time
// is UTC; unset leaves the build stamp out.
struct SHopwatchReportVersion {
    CString generator;
    CString footer;
    CNTimeStamp buildUtc;
};

// Everything the report shows, read once on the user-interface thread when Export is pressed.
struct SHopwatchReportInput {
    NArray<SHopwatchReportColumn> columns;
    NArray<SHopwatchReportItem> items;
    CString progressText; // the host under test, as the progress bar shows it
    CNTimeStamp started;  // local time
    CNTimeStamp stopped;  // unset while the test runs
    CNTimeStamp now;      // the export's own time, taken once; also names the file
    SHopwatchReportVersion version;
    BOOL exportIcons = FALSE;
    SHopwatchReportImage programIcon; // 32 x 32 with its mask
    SHopwatchReportImage rowImages;   // the strip of 16 x 16 row images, no mask
    // The timeline section after the table; left out (include false) the report is as it was
    // before the timeline existed, byte for byte.
    STimelineReport timeline;
};
