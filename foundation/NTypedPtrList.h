// NTypedPtrList: a list of pointers to T that deletes its items only when asked to.
#pragma once

#include "foundation/NPtrList.h"

// A pointer list whose items are T objects, destroyed through T's virtual destructor.
template <class T> class NTypedPtrList;

template <class T> class NTypedPtrList<T*> : public NPtrList {
public:
    explicit NTypedPtrList(BOOL autoDelete = FALSE) : NPtrList(autoDelete) {}
    // The base destructor runs after this class is gone and would reach only NPtrList's
    // DeleteItem (freeing a T as plain memory, without its destructor), so the items are
    // deleted here while the override still applies.
    ~NTypedPtrList() override { RemoveAll(m_bAutoDelete); }

    void DeleteItem(void* item) override { delete static_cast<T*>(item); }

    SNode* AddTail(T* item) { return NPtrList::AddTail(item); }
    SNode* AddHead(T* item) { return NPtrList::AddHead(item); }
    T* RemoveHead() { return static_cast<T*>(NPtrList::RemoveHead()); }
    T* RemoveNode(SNode* node) { return static_cast<T*>(NPtrList::RemoveNode(node)); }
    static T* ItemOf(const SNode* node) { return static_cast<T*>(node->m_data); }
};
