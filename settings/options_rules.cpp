// What the options pages accept, and how they tell that the host history changed.
#include "settings/options_rules.h"

#include "foundation/numbers.h"
#include "settings/settings_globals.h"

BOOL ParsePositiveMs(LPCWSTR text, DWORD* value) {
    DWORD parsed = 0;
    if (value == nullptr || !ParseUnsigned(text, &parsed) || parsed == 0)
        return FALSE;
    *value = parsed;
    return TRUE;
}

BOOL ParseMaxTtl(LPCWSTR text, DWORD* value) {
    DWORD parsed = 0;
    if (value == nullptr || !ParseUnsigned(text, &parsed))
        return FALSE;
    // One unsigned comparison covers both ends: 0 wraps round to the top.
    if (parsed - kMinMaxTTL > kMaxMaxTTL - kMinMaxTTL)
        return FALSE;
    *value = parsed;
    return TRUE;
}

BOOL SameTokenLists(const CNTokenList& a, const CNTokenList& b) {
    if (a.GetCount() != b.GetCount())
        return FALSE;
    const CNTokenList::SNode* x = a.GetHead();
    const CNTokenList::SNode* y = b.GetHead();
    for (; x != nullptr && y != nullptr; x = x->m_pNext, y = y->m_pNext) {
        if (x->m_data != y->m_data)
            return FALSE;
    }
    return x == nullptr && y == nullptr;
}
