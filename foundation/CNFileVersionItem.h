// CNFileVersionItem: one block of a version resource (key, value, children) parsed from raw bytes.
#pragma once

#include <cstddef>

#include "foundation/base_types.h"

// The block layout: 16-bit total length, 16-bit value length, 16-bit type (0 binary, 1 text), a
// NUL-terminated UTF-16LE key, padding to 32 bits, the value, padding to 32 bits, then the child
// blocks, each on a 32-bit boundary. An item owns its key, value, children and the siblings that
// follow it. Parsing never reads outside the bytes it is given.
class CNFileVersionItem {
public:
    CNFileVersionItem(const CNFileVersionItem&) = delete;
    CNFileVersionItem& operator=(const CNFileVersionItem&) = delete;
    virtual ~CNFileVersionItem();

    // Parses the block at `position`, of which `left` bytes may be read. An expected key must
    // match exactly (case matters). On success the position moves past the block and `left`
    // shrinks by its length; on failure nullptr and both are unchanged. Blocks nested deeper
    // than kMaxDepth fail, so hostile data cannot exhaust the stack.
    static CNFileVersionItem* Parse(const BYTE*& position, size_t& left, LPCWSTR expectedKey);

    // The first direct child whose key equals `key` without regard to case; when there is none
    // and `recursive`, the first match depth-first in each child's subtree in turn.
    const CNFileVersionItem* Find(const CString& key, BOOL recursive) const;

    DWORD GetLength() const { return m_length; }
    DWORD GetValueLength() const { return m_valueLength; }
    DWORD GetType() const { return m_type; }
    const CString& GetKey() const { return m_key; }
    // The value's bytes (valueLength * 2 for text, valueLength for binary), or nullptr.
    const BYTE* GetValue() const { return m_pValue; }
    size_t GetValueSize() const { return m_valueLength << m_type; }
    DWORD GetValueOffset() const { return m_valueOffset; }
    // A text value up to its NUL (or the end of the value); empty for binary values.
    CString GetText() const;
    const CNFileVersionItem* GetNext() const { return m_pNext; }
    const CNFileVersionItem* GetFirstChild() const { return m_pFirstChild; }

    static constexpr int kMaxDepth = 32;

private:
    CNFileVersionItem() = default;
    static CNFileVersionItem* ParseAt(const BYTE* block, size_t left, LPCWSTR expectedKey,
                                      int depth);

    DWORD m_length = 0;
    DWORD m_valueLength = 0;
    DWORD m_type = 0;
    CString m_key;
    DWORD m_keyPadding = 0;
    DWORD m_valuePadding = 0;
    BYTE* m_pValue = nullptr;
    DWORD m_valueOffset = 0;
    CNFileVersionItem* m_pNext = nullptr;
    CNFileVersionItem* m_pFirstChild = nullptr;
};
