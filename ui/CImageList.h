// CImageList: an owned image list handle, created from a bitmap resource (scaled if asked).
#pragma once

#include <windows.h>
#include <commctrl.h>

// Owns its HIMAGELIST: Destroy (or the destructor) releases it. Not copyable.
class CImageList {
public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Loads a bitmap strip of images `width` pixels wide; pixels of colour mask are transparent.
    // FALSE when the bitmap cannot be loaded (the list stays empty).
    BOOL Create(HINSTANCE instance, UINT bitmapId, int width, int grow, COLORREF mask) {
        Destroy();
        m_list = ImageList_LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), width, grow, mask,
                                      IMAGE_BITMAP, LR_CREATEDIBSECTION);
        return m_list != nullptr;
    }
    // The same strip with every image scaled from width to scaledWidth pixels square (nearest
    // pixel, so that the mask colour stays exact); as Create when the two are equal.
    BOOL CreateScaled(HINSTANCE instance, UINT bitmapId, int width, int grow, COLORREF mask,
                      int scaledWidth);
    // An empty list of images width x height with the flags of ImageList_Create.
    BOOL Create(int width, int height, UINT flags, int initial, int grow) {
        Destroy();
        m_list = ImageList_Create(width, height, flags, initial, grow);
        return m_list != nullptr;
    }
    void Destroy() {
        if (m_list != nullptr)
            ImageList_Destroy(m_list);
        m_list = nullptr;
    }
    // Takes over list (destroying the one held); Detach gives it up without destroying it.
    void Attach(HIMAGELIST list) {
        Destroy();
        m_list = list;
    }
    HIMAGELIST Detach() {
        HIMAGELIST list = m_list;
        m_list = nullptr;
        return list;
    }
    HIMAGELIST GetSafeHandle() const { return m_list; }
    operator HIMAGELIST() const { return m_list; }
    int GetImageCount() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }
    BOOL GetIconSize(int& width, int& height) const {
        return ImageList_GetIconSize(m_list, &width, &height);
    }
    BOOL Draw(HDC dc, int image, int x, int y, UINT style) const {
        return ImageList_Draw(m_list, image, dc, x, y, style);
    }

private:
    HIMAGELIST m_list = nullptr;
};
