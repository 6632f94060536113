// A token list shown in a combo box or list box, and read back from a list box.
#include "settings/token_list_controls_win.h"

namespace {
template <class CONTROL> void Fill(const CNTokenList& tokens, CONTROL& control) {
    BOOL wasEnabled = control.IsWindowEnabled();
    if (wasEnabled)
        control.EnableWindow(FALSE);
    control.ResetContent();
    for (const CNTokenList::SNode* node = tokens.GetHead(); node != nullptr; node = node->m_pNext)
        control.AddString(node->m_data);
    if (wasEnabled)
        control.EnableWindow(TRUE);
}
} // namespace

void FillComboBox(const CNTokenList& tokens, CComboBox& combo) {
    Fill(tokens, combo);
}

void FillListBox(const CNTokenList& tokens, CListBox& list) {
    Fill(tokens, list);
}

void FromListBox(CNTokenList& tokens, const CListBox& list) {
    tokens.RemoveAll();
    int count = list.GetCount();
    for (int i = 0; i < count; ++i)
        tokens.AddTail(list.GetText(i));
}
