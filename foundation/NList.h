// NList: a doubly linked list with one node allocated per element.
#pragma once

#include <new>
#include <utility>

#include "foundation/base_types.h"

template <class T> class NList {
public:
    struct SNode {
        SNode* m_pPrev;
        SNode* m_pNext;
        T m_data;
    };

    NList() = default;
    NList(const NList& other) { AddTailList(other); }
    NList& operator=(const NList& other) {
        if (this != &other) {
            RemoveAll();
            AddTailList(other);
        }
        return *this;
    }
    virtual ~NList() { RemoveAll(); }

    // Appends at the tail; the new node, or nullptr when no memory was left.
    SNode* AddTail(const T& item) {
        SNode* node = new (std::nothrow) SNode{m_pTail, nullptr, item};
        if (node == nullptr)
            return nullptr;
        if (m_pTail != nullptr)
            m_pTail->m_pNext = node;
        else
            m_pHead = node;
        m_pTail = node;
        ++m_nCount;
        return node;
    }
    SNode* AddHead(const T& item) {
        SNode* node = new (std::nothrow) SNode{nullptr, m_pHead, item};
        if (node == nullptr)
            return nullptr;
        if (m_pHead != nullptr)
            m_pHead->m_pPrev = node;
        else
            m_pTail = node;
        m_pHead = node;
        ++m_nCount;
        return node;
    }
    // Appends copies of the elements of other, which may be this list: the walk is bounded by
    // the count taken before it starts, so the copies just appended are not copied again.
    void AddTailList(const NList& other) {
        const SNode* node = other.m_pHead;
        for (int n = other.m_nCount; n > 0 && node != nullptr; --n, node = node->m_pNext)
            AddTail(node->m_data);
    }
    // Removes the head and returns its element; an empty list gives T().
    T RemoveHead() {
        if (m_pHead == nullptr)
            return T();
        return RemoveNode(m_pHead);
    }
    // Unlinks and frees a node of this list, returning its element; nullptr gives T().
    T RemoveNode(SNode* node) {
        if (node == nullptr)
            return T();
        if (node->m_pPrev != nullptr)
            node->m_pPrev->m_pNext = node->m_pNext;
        else
            m_pHead = node->m_pNext;
        if (node->m_pNext != nullptr)
            node->m_pNext->m_pPrev = node->m_pPrev;
        else
            m_pTail = node->m_pPrev;
        --m_nCount;
        T item = std::move(node->m_data);
        delete node;
        return item;
    }
    void RemoveAll() {
        while (m_pHead != nullptr) {
            SNode* next = m_pHead->m_pNext;
            delete m_pHead;
            m_pHead = next;
        }
        m_pTail = nullptr;
        m_nCount = 0;
    }
    // The node at a position counted from the head; nullptr outside 0..count-1.
    SNode* GetNodeAt(int index) const {
        if (index < 0 || index >= m_nCount)
            return nullptr;
        SNode* node = m_pHead;
        while (index-- > 0)
            node = node->m_pNext;
        return node;
    }
    SNode* GetHead() const { return m_pHead; }
    SNode* GetTail() const { return m_pTail; }
    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

protected:
    SNode* m_pHead = nullptr;
    SNode* m_pTail = nullptr;
    int m_nCount = 0;
};
