// CNRegistryValue: an owned buffer with one registry value's type and data.
#include "settings/CNRegistryValue.h"

#include <cstring>
#include <new>
#include <string>

#include "foundation/utf.h"
#include "platform/registry.h"

namespace {

char16_t UnitAt(const BYTE* data, DWORD index) {
    return static_cast<char16_t>(data[index * 2] | (data[index * 2 + 1] << 8));
}

void PutUnits(BYTE* out, const std::u16string& units) {
    for (size_t i = 0; i < units.size(); ++i) {
        out[i * 2] = static_cast<BYTE>(units[i] & 0xFF);
        out[i * 2 + 1] = static_cast<BYTE>(units[i] >> 8);
    }
}

} // namespace

void CNRegistryValue::Free() {
    delete[] m_pData;
    m_pData = nullptr;
    m_cbData = 0;
    m_dwType = 0;
}

BOOL CNRegistryValue::Allocate(DWORD type, DWORD size) {
    Free();
    if (size != 0) {
        m_pData = new (std::nothrow) BYTE[size]();
        if (m_pData == nullptr)
            return FALSE;
    }
    m_dwType = type;
    m_cbData = size;
    return TRUE;
}

BOOL CNRegistryValue::SetData(DWORD type, const void* data, DWORD size) {
    if (!Allocate(type, size))
        return FALSE;
    if (size != 0)
        std::memcpy(m_pData, data, size);
    return TRUE;
}

BOOL CNRegistryValue::SetString(LPCWSTR text) {
    if (text == nullptr)
        return Allocate(kRegSz, 0);
    std::u16string units = ToUtf16(text);
    if (!Allocate(kRegSz, static_cast<DWORD>((units.size() + 1) * 2)))
        return FALSE;
    PutUnits(m_pData, units); // the NUL is already there
    return TRUE;
}

BOOL CNRegistryValue::SetDword(DWORD value) {
    BYTE bytes[4] = {static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
                     static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>(value >> 24)};
    return SetData(kRegDword, bytes, 4);
}

BOOL CNRegistryValue::SetMultiString(const CNTokenList& tokens) {
    std::u16string units;
    for (const CNTokenList::SNode* node = tokens.GetHead(); node != nullptr; node = node->m_pNext) {
        if (node->m_data.empty())
            continue;
        units += ToUtf16(node->m_data);
        units.push_back(u'\0');
    }
    if (units.empty())
        units.push_back(u'\0'); // an empty list is two NULs
    units.push_back(u'\0');
    if (!Allocate(kRegMultiSz, static_cast<DWORD>(units.size() * 2)))
        return FALSE;
    PutUnits(m_pData, units);
    return TRUE;
}

CString CNRegistryValue::GetString() const {
    if (m_pData == nullptr)
        return CString();
    DWORD units = m_cbData / 2;
    DWORD length = 0;
    while (length < units && UnitAt(m_pData, length) != 0)
        ++length;
    std::u16string text(length, u'\0');
    for (DWORD i = 0; i < length; ++i)
        text[i] = UnitAt(m_pData, i);
    return FromUtf16(text.data(), text.size());
}

void CNRegistryValue::GetMultiString(CNTokenList& tokens) const {
    if (m_pData == nullptr)
        return;
    DWORD units = m_cbData / 2;
    DWORD start = 0;
    while (start < units) {
        DWORD end = start;
        while (end < units && UnitAt(m_pData, end) != 0)
            ++end;
        if (end == start)
            break; // the empty string ends the block
        std::u16string text(end - start, u'\0');
        for (DWORD i = start; i < end; ++i)
            text[i - start] = UnitAt(m_pData, i);
        tokens.AddTail(FromUtf16(text.data(), text.size()));
        start = end + 1;
    }
}

BOOL CNRegistryValue::GetDword(DWORD* value) const {
    if (m_pData == nullptr || m_cbData != 4 || value == nullptr)
        return FALSE;
    *value = static_cast<DWORD>(m_pData[0]) | (static_cast<DWORD>(m_pData[1]) << 8) |
             (static_cast<DWORD>(m_pData[2]) << 16) | (static_cast<DWORD>(m_pData[3]) << 24);
    return TRUE;
}
