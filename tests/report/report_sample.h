// A report input as the window would snapshot it: columns, rows, times and images, for tests.
#pragma once

#include "report/report_builtin_images.h"
#include "report/report_input.h"

namespace report_sample {

// 2007-05-23 14:15:16.042, the test started 3,725 s before; still running unless stopped.
inline SHopwatchReportInput MakeInput(int rows, BOOL icons) {
    SHopwatchReportInput input;
    static const wchar_t* const kHeaders[] = {L"TTL", L"Address", L"Loss", L"Note / History"};
    static const int kFormats[] = {kReportHeaderLeft, kReportHeaderLeft, kReportHeaderRight,
                                   kReportHeaderCenter};
    input.columns.SetSize(4);
    for (int c = 0; c < 4; ++c) {
        input.columns[c].header = kHeaders[c];
        input.columns[c].format = kFormats[c];
    }
    input.items.SetSize(rows);
    for (int r = 0; r < rows; ++r) {
        SHopwatchReportItem& item = input.items[r];
        item.texts.SetSize(4);
        item.texts[0] = std::to_wstring(r + 1);
        item.texts[1] = L"192.0.2." + std::to_wstring(r + 1);
        item.texts[2] = L"25%";
        item.texts[3] = L"";
        item.colors.SetSize(4);
        for (int c = 0; c < 4; ++c)
            item.colors[c] = 0xFFFFFF;
        item.colors[2] = 0x66FFFF;
        item.image = r % 8;
    }
    input.progressText = L"target.example 203.0.113.1";
    input.now = CNTimeStamp(2007, 5, 23, 14, 15, 16, 42);
    input.started = CNTimeStamp(input.now.GetValue() - 3725ull * 10000000ull);
    input.version.generator = L"Hopwatch Release 0.01.00";
    input.version.footer = L"Hopwatch</a> Release 0.01.00 ";
    input.exportIcons = icons;
    input.programIcon = BuiltInProgramIconPixels();
    input.rowImages = BuiltInRowImagePixels();
    return input;
}

} // namespace report_sample
