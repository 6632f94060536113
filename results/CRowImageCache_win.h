// CRowImageCache: the results list's row images drawn once into a strip and copied from there.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/CDibSection.h"

// The list view draws an item's image through the image list, which on some platforms builds a
// device context and a bitmap for every image it draws: with full-row selection that is every
// row repainted, several times a second. This keeps each image as the list view would draw it
// (ImageList_DrawEx with the list's background colour, ILD_NORMAL, over a cell of cellColor) in
// one bitmap and copies it out. Built at the first Draw after the images, their size or the
// colours changed; Reset forgets it (the image list may be replaced by one at the same address).
// User-interface thread only.
class CRowImageCache {
public:
    // Draws image index of images with its top left corner at (x, y) of dc. FALSE, drawing
    // nothing, when the index is out of range or the strip cannot be made.
    BOOL Draw(HDC dc, HIMAGELIST images, int index, int x, int y, COLORREF background,
              COLORREF cellColor);
    void Reset();

private:
    bool IsFor(HIMAGELIST images, COLORREF background, COLORREF cellColor) const;
    bool Build(HDC dc, HIMAGELIST images, COLORREF background, COLORREF cellColor);

    CDibSection m_strip;
    HIMAGELIST m_images = nullptr; // nullptr while the strip holds nothing
    COLORREF m_background = CLR_NONE;
    COLORREF m_cellColor = CLR_NONE;
    int m_count = 0;
    int m_width = 0;
    int m_height = 0;
};
