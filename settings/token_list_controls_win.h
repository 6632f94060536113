// A token list shown in a combo box or list box, and read back from a list box.
#pragma once

#include "foundation/CNTokenList.h"
#include "ui/CComboBox.h"
#include "ui/CListBox.h"

// Resets the control's list and adds every token in list order. A control that was enabled is
// disabled while it is refilled, so the user cannot pick from a half-filled list, and enabled
// again afterwards; a disabled one stays disabled.
void FillComboBox(const CNTokenList& tokens, CComboBox& combo);
void FillListBox(const CNTokenList& tokens, CListBox& list);
// Replaces the tokens by the texts of all list box items, in order.
void FromListBox(CNTokenList& tokens, const CListBox& list);
