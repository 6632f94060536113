// CResizableControls: keeps a dialog's controls anchored to its edges and its size at least
// initial.
#include "app/CResizableControls.h"

namespace {

bool ClientSize(HWND hWnd, int& width, int& height) {
    RECT client = {};
    if (!::GetClientRect(hWnd, &client))
        return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    return true;
}

} // namespace

void CResizableControls::Prepare(HWND parent) {
    m_parent = parent;
    RECT outer = {};
    if (parent == nullptr || !::GetWindowRect(parent, &outer))
        outer = RECT{};
    m_layout.Prepare(outer.right - outer.left, outer.bottom - outer.top);
}

BOOL CResizableControls::AddControl(UINT id, DWORD flags) {
    HWND control = m_parent != nullptr ? ::GetDlgItem(m_parent, static_cast<int>(id)) : nullptr;
    int width = 0, height = 0;
    RECT rect = {};
    if (control == nullptr || !ClientSize(m_parent, width, height) ||
        !::GetWindowRect(control, &rect))
        return FALSE;
    ::MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&rect), 2);
    return m_layout.AddControl(id, flags, {rect.left, rect.top, rect.right, rect.bottom}, width,
                               height);
}

BOOL CResizableControls::Resize() {
    if (m_parent == nullptr || !::IsWindow(m_parent) || ::IsIconic(m_parent) ||
        m_layout.GetControls().IsEmpty())
        return FALSE;
    int width = 0, height = 0;
    if (!ClientSize(m_parent, width, height))
        return FALSE;
    for (const auto* node = m_layout.GetControls().GetHead(); node != nullptr;
         node = node->m_pNext) {
        const SPixelRect placed = CNAnchorLayout::Place(node->m_data, width, height);
        HWND control = ::GetDlgItem(m_parent, static_cast<int>(node->m_data.id));
        ::MoveWindow(control, placed.left, placed.top, placed.Width(), placed.Height(), TRUE);
        ::InvalidateRect(control, nullptr, TRUE);
    }
    return TRUE;
}

BOOL CResizableControls::LimitSizing(RECT* dragged) const {
    if (dragged == nullptr || (m_parent != nullptr && ::IsIconic(m_parent)))
        return FALSE;
    SPixelRect rect = {dragged->left, dragged->top, dragged->right, dragged->bottom};
    if (!m_layout.LimitSizing(rect))
        return FALSE;
    dragged->right = rect.right;
    dragged->bottom = rect.bottom;
    return TRUE;
}
