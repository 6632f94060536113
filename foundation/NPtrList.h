// NPtrList: a list of untyped pointers that frees its items only when asked to.
#pragma once

#include <cstdlib>

#include "foundation/NList.h"
#include "foundation/base_types.h"

// A list of untyped pointers. With the auto-delete flag set, destroying the list frees every item
// through DeleteItem; otherwise the items stay with whoever made them.
class NPtrList : public NList<void*> {
public:
    explicit NPtrList(BOOL autoDelete = FALSE) : m_bAutoDelete(autoDelete) {}
    NPtrList(const NPtrList&) = delete; // two lists must never both own the same items
    NPtrList& operator=(const NPtrList&) = delete;
    // Frees the items when the auto-delete flag is set (see NTypedPtrList for typed items).
    ~NPtrList() override {
        RemoveAll(m_bAutoDelete);
        NList<void*>::RemoveAll();
    }

    // Frees an item as plain memory: items of an auto-deleting NPtrList come from malloc.
    virtual void DeleteItem(void* item) { std::free(item); }

    // Empties the list. With TRUE each item (when not null) goes to DeleteItem after its node has
    // been unlinked and freed, so DeleteItem may look at the list and find it consistent.
    void RemoveAll(BOOL deleteItems) {
        if (!deleteItems) {
            NList<void*>::RemoveAll();
            return;
        }
        while (m_pHead != nullptr) {
            SNode* node = m_pHead;
            m_pHead = node->m_pNext;
            if (m_pHead != nullptr)
                m_pHead->m_pPrev = nullptr;
            else
                m_pTail = nullptr;
            void* item = node->m_data;
            delete node;
            --m_nCount;
            if (item != nullptr)
                DeleteItem(item);
        }
    }

    BOOL GetAutoDelete() const { return m_bAutoDelete; }
    void SetAutoDelete(BOOL autoDelete) { m_bAutoDelete = autoDelete; }

protected:
    BOOL m_bAutoDelete;
};
