// The host history's one rule: the host last started goes to the head, once.
#include "settings/host_history.h"

void PushHostHistory(CNTokenList& history, const CString& host) {
    for (CNTokenList::SNode* node = history.GetHead(); node != nullptr; node = node->m_pNext) {
        if (EqualNoCase(node->m_data, host)) {
            CString found = node->m_data; // Remove finds it again: the first exact match
            history.Remove(found);
            break;
        }
    }
    history.AddHead(host);
}
