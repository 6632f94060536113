// The pixels of a loaded bitmap or icon, read through GDI in the layout the report's tables take.
#pragma once

#include <windows.h>

#include "foundation/NArray.h"
#include "report/report_input.h"

// Reads a bitmap's (and an icon's mask) pixels once and keeps them; GetImage is a view of them
// for the report. Each buffer holds at most 64 KiB, as GetBitmapBits is asked for no more; an
// image bigger than that reads as none. User-interface thread.
class CReportGdiImage {
public:
    CReportGdiImage() = default;
    CReportGdiImage(const CReportGdiImage&) = delete;
    CReportGdiImage& operator=(const CReportGdiImage&) = delete;
    virtual ~CReportGdiImage() = default;

    // A colour bitmap, opaque (the row image strip). FALSE (and no image) when it cannot be read.
    BOOL ReadBitmap(HBITMAP bitmap);
    // An icon's colour bitmap and its mask (1 = transparent). FALSE for a monochrome icon or
    // bitmaps that cannot be read. The icon stays the caller's.
    BOOL ReadIcon(HICON icon);

    const SHopwatchReportImage& GetImage() const { return m_image; }

private:
    BOOL ReadColor(HBITMAP bitmap);
    BOOL ReadMask(HBITMAP mask);

    NArray<BYTE> m_color;
    NArray<BYTE> m_mask;
    SHopwatchReportImage m_image;
};
