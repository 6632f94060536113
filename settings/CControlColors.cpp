// CControlColors: the colour table and when a control must be repainted.
#include <new>

#include "settings/CControlColors.h"

CControlColors::~CControlColors() {
    while (m_entries.GetCount() > 0)
        DestroyEntry(m_entries.RemoveHead());
}

void CControlColors::DestroyEntry(SEntry* entry) {
    if (entry->m_brush != nullptr)
        DestroyBrush(entry->m_brush);
    delete entry;
}

CControlColors::CEntryList::SNode* CControlColors::FindNode(DWORD controlId) const {
    for (CEntryList::SNode* node = m_entries.GetHead(); node != nullptr; node = node->m_pNext) {
        if (CEntryList::ItemOf(node)->m_controlId == controlId)
            return node;
    }
    return nullptr;
}

const CControlColors::SEntry* CControlColors::Find(DWORD controlId) const {
    CEntryList::SNode* node = FindNode(controlId);
    return node != nullptr ? CEntryList::ItemOf(node) : nullptr;
}

void CControlColors::SetColors(DWORD controlId, COLORREF textColor, COLORREF bkColor) {
    if (controlId == 0)
        return;
    CEntryList::SNode* node = FindNode(controlId);
    if (textColor == kDefaultColor && bkColor == kDefaultColor) {
        if (node != nullptr)
            DestroyEntry(m_entries.RemoveNode(node));
        RepaintControl(controlId);
        return;
    }
    textColor &= 0x00FFFFFF;
    bkColor &= 0x00FFFFFF;
    if (node == nullptr) {
        SEntry* entry = new (std::nothrow) SEntry{controlId, textColor, bkColor, nullptr};
        if (entry == nullptr)
            return;
        entry->m_brush = CreateBrush(bkColor);
        if (m_entries.AddTail(entry) == nullptr) {
            DestroyEntry(entry);
            return;
        }
        RepaintControl(controlId);
        return;
    }
    SEntry* entry = CEntryList::ItemOf(node);
    BOOL changed = entry->m_textColor != textColor;
    entry->m_textColor = textColor;
    if (entry->m_bkColor != bkColor || entry->m_brush == nullptr) {
        if (entry->m_brush != nullptr)
            DestroyBrush(entry->m_brush);
        entry->m_bkColor = bkColor;
        entry->m_brush = CreateBrush(bkColor);
        changed = TRUE;
    }
    if (changed)
        RepaintControl(controlId);
}
