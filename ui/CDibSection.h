// CDibSection: a 32-bit top-down bitmap in its own memory DC whose pixels code writes directly.
#pragma once

#include <windows.h>

#include <cstdint>

// Owns a device-independent bitmap section selected into a memory DC, grown on demand and kept
// for the next use, so that drawing many small shapes costs writes to memory instead of a call
// into the system for each. Pixels are 0x00RRGGBB, rows top-down, GetWidth() pixels apart. Call
// GdiFlush() before touching the pixels after GDI has drawn into the DC. Not copyable.
class CDibSection {
public:
    CDibSection() = default;
    ~CDibSection() { Destroy(); }
    CDibSection(const CDibSection&) = delete;
    CDibSection& operator=(const CDibSection&) = delete;

    // At least width x height pixels, made compatible with dc; FALSE when the bitmap cannot be
    // made (the previous one, if any, is gone too).
    BOOL Reserve(HDC dc, int width, int height);
    // Exactly width x height pixels, for pictures whose rows are their own width apart; kept
    // while the size stays. FALSE as Reserve.
    BOOL Fit(HDC dc, int width, int height);
    void Destroy();

    HDC GetSafeHdc() const { return m_dc; }
    std::uint32_t* GetBits() const { return m_bits; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    BOOL Create(HDC dc, int width, int height);

    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    std::uint32_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};
