// CControlColors without a window system: brushes are distinct tokens, nothing is repainted.
#include <new>

#include "settings/CControlColors.h"

namespace {
// A live brush: one heap byte, so each brush has its own address and leaks show in ASan.
struct SFakeBrush {
    COLORREF m_color;
};
} // namespace

CControlColors::Handle CControlColors::CreateBrush(COLORREF color) {
    return new (std::nothrow) SFakeBrush{color};
}

void CControlColors::DestroyBrush(Handle brush) {
    delete static_cast<SFakeBrush*>(brush);
}

void CControlColors::RepaintControl(DWORD) const {}
