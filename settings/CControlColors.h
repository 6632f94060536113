// CControlColors: own text and background colours for some controls of a dialog.
#pragma once

#include "foundation/NTypedPtrList.h"
#include "foundation/base_types.h"

// A table of dialog controls that draw in colours of their own, one entry per control id. The
// owner window (the dialog) answers its control-colour messages from the table
// (AnswerControlColor in control_colors_win.h); controls without an entry keep the default
// look. Each entry owns a solid brush of its background colour. The brushes and the repaint are
// the platform's (CControlColors_win.cpp; CControlColors_posix.cpp stands in for native tests).
// User-interface thread only.
class CControlColors {
public:
    // A window or brush handle of the platform, opaque here.
    typedef void* Handle;

    // Colours meaning "no colour of its own"; both given to SetColors remove the entry.
    static constexpr COLORREF kDefaultColor = 0xFFFFFFFF;

    struct SEntry {
        DWORD m_controlId;
        COLORREF m_textColor;
        COLORREF m_bkColor;
        Handle m_brush; // solid brush of m_bkColor; may be null when none could be made
    };

    CControlColors() = default;
    CControlColors(const CControlColors&) = delete;
    CControlColors& operator=(const CControlColors&) = delete;
    ~CControlColors(); // destroys every brush

    // The dialog whose controls are coloured (repainted on a change); null for none.
    void SetOwner(Handle owner) { m_owner = owner; }
    Handle GetOwner() const { return m_owner; }

    // Both colours kDefaultColor: removes the control's entry (if any) and repaints it.
    // Otherwise creates or updates the entry, recreating its brush only when the background
    // changed, and repaints the control when anything changed. Id 0 is ignored.
    void SetColors(DWORD controlId, COLORREF textColor, COLORREF bkColor);
    // The control's entry, or nullptr.
    const SEntry* Find(DWORD controlId) const;
    // The number of controls with colours of their own.
    int GetCount() const { return m_entries.GetCount(); }

private:
    typedef NTypedPtrList<SEntry*> CEntryList;

    CEntryList::SNode* FindNode(DWORD controlId) const;
    static void DestroyEntry(SEntry* entry);

    // Platform primitives.
    static Handle CreateBrush(COLORREF color);
    static void DestroyBrush(Handle brush);
    void RepaintControl(DWORD controlId) const;

    CEntryList m_entries{FALSE};
    Handle m_owner = nullptr;
};
