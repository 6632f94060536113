// CNFileVersionItem: one block of a version resource (key, value, children) parsed from raw bytes.
#include "foundation/CNFileVersionItem.h"

#include <cstring>
#include <new>
#include <string>

#include "foundation/text_utils.h"
#include "foundation/utf.h"

namespace {

DWORD Read16(const BYTE* p) {
    return static_cast<DWORD>(p[0] | (p[1] << 8));
}

size_t AlignUp(size_t offset) {
    return (offset + 3) & ~static_cast<size_t>(3);
}

} // namespace

CNFileVersionItem::~CNFileVersionItem() {
    delete[] m_pValue;
    delete m_pFirstChild;
    // Siblings are freed in a loop: a long chain must not recurse once per sibling.
    CNFileVersionItem* next = m_pNext;
    while (next != nullptr) {
        CNFileVersionItem* after = next->m_pNext;
        next->m_pNext = nullptr;
        delete next;
        next = after;
    }
}

CNFileVersionItem* CNFileVersionItem::Parse(const BYTE*& position, size_t& left,
                                            LPCWSTR expectedKey) {
    if (position == nullptr)
        return nullptr;
    CNFileVersionItem* item = ParseAt(position, left, expectedKey, 0);
    if (item != nullptr) {
        position += item->m_length;
        left -= item->m_length;
    }
    return item;
}

CNFileVersionItem* CNFileVersionItem::ParseAt(const BYTE* block, size_t left, LPCWSTR expectedKey,
                                              int depth) {
    if (left < 2 || depth > kMaxDepth)
        return nullptr;
    const size_t length = Read16(block);
    // The header (three 16-bit fields) and at least the key's NUL must lie inside the block.
    if (length < 8 || length > left)
        return nullptr;
    const DWORD valueLength = Read16(block + 2);
    const DWORD type = Read16(block + 4);
    if (type > 1)
        return nullptr;
    const size_t valueSize = static_cast<size_t>(valueLength) << type;

    size_t offset = 6;
    std::u16string key;
    for (;;) {
        if (offset + 2 > length)
            return nullptr;
        char16_t unit = static_cast<char16_t>(Read16(block + offset));
        offset += 2;
        if (unit == 0)
            break;
        if (expectedKey != nullptr) {
            // Compared while reading, so a wrong candidate is given up at its first unit.
            if (key.size() >= std::char_traits<wchar_t>::length(expectedKey) ||
                static_cast<char16_t>(expectedKey[key.size()]) != unit)
                return nullptr;
        }
        key.push_back(unit);
    }
    if (expectedKey != nullptr && key.size() != std::char_traits<wchar_t>::length(expectedKey))
        return nullptr;

    CNFileVersionItem* item = new (std::nothrow) CNFileVersionItem;
    if (item == nullptr)
        return nullptr;
    item->m_length = static_cast<DWORD>(length);
    item->m_valueLength = valueLength;
    item->m_type = type;
    item->m_key = FromUtf16(key.data(), key.size());
    size_t valueOffset = AlignUp(offset);
    item->m_keyPadding = static_cast<DWORD>(valueOffset - offset);
    offset = valueOffset;
    if (valueLength != 0) {
        if (valueOffset > length || valueSize > length - valueOffset) {
            delete item;
            return nullptr;
        }
        item->m_pValue = new (std::nothrow) BYTE[valueSize];
        if (item->m_pValue == nullptr) {
            delete item;
            return nullptr;
        }
        std::memcpy(item->m_pValue, block + valueOffset, valueSize);
        item->m_valueOffset = static_cast<DWORD>(valueOffset);
        offset = valueOffset + valueSize;
    }
    size_t childOffset = AlignUp(offset);
    item->m_valuePadding = static_cast<DWORD>(childOffset - offset);
    offset = childOffset;

    CNFileVersionItem** link = &item->m_pFirstChild;
    while (offset < length) {
        offset = AlignUp(offset);
        if (offset >= length)
            break;
        CNFileVersionItem* child = ParseAt(block + offset, length - offset, nullptr, depth + 1);
        if (child == nullptr) {
            delete item; // frees the children parsed so far
            return nullptr;
        }
        *link = child;
        link = &child->m_pNext;
        offset += child->m_length;
    }
    return item;
}

const CNFileVersionItem* CNFileVersionItem::Find(const CString& key, BOOL recursive) const {
    for (const CNFileVersionItem* child = m_pFirstChild; child != nullptr; child = child->m_pNext)
        if (EqualNoCase(child->m_key, key))
            return child;
    if (!recursive)
        return nullptr;
    for (const CNFileVersionItem* child = m_pFirstChild; child != nullptr; child = child->m_pNext) {
        const CNFileVersionItem* found = child->Find(key, TRUE);
        if (found != nullptr)
            return found;
    }
    return nullptr;
}

CString CNFileVersionItem::GetText() const {
    if (m_type != 1 || m_pValue == nullptr)
        return CString();
    std::u16string text;
    for (size_t i = 0; i + 1 < GetValueSize(); i += 2) {
        char16_t unit = static_cast<char16_t>(Read16(m_pValue + i));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return FromUtf16(text.data(), text.size());
}
