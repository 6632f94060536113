// CNRegistryValue: an owned buffer with one registry value's type and data.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"

// String data is UTF-16LE on every platform, as the registry keeps it. The readers stay within
// the data held: a string without its terminating NUL ends at the end of the data.
class CNRegistryValue {
public:
    CNRegistryValue() = default;
    CNRegistryValue(const CNRegistryValue&) = delete;
    CNRegistryValue& operator=(const CNRegistryValue&) = delete;
    virtual ~CNRegistryValue() { Free(); }

    // Frees the data, then takes the type and `size` bytes of fresh, zeroed data (none for 0).
    // FALSE (value empty, type 0) when the memory cannot be had.
    BOOL Allocate(DWORD type, DWORD size);
    // Allocate, then a copy of `size` bytes of `data`.
    BOOL SetData(DWORD type, const void* data, DWORD size);
    // REG_SZ: the characters and the terminating NUL, (length + 1) * 2 bytes; null: size 0.
    BOOL SetString(LPCWSTR text);
    // REG_DWORD, 4 bytes little-endian.
    BOOL SetDword(DWORD value);
    // REG_MULTI_SZ: each token and a NUL, then one more NUL; an empty list is two NULs (4
    // bytes). Empty tokens are left out: an empty string ends the block, so one written in the
    // middle would cut off every token after it when read back.
    BOOL SetMultiString(const CNTokenList& tokens);
    // Frees the data; type and size become 0.
    void Free();

    DWORD GetType() const { return m_dwType; }
    DWORD GetSize() const { return m_cbData; }
    const BYTE* GetData() const { return m_pData; }
    // After a read that reported fewer bytes than were allocated.
    void SetReported(DWORD type, DWORD size) {
        m_dwType = type;
        m_cbData = size < m_cbData ? size : m_cbData;
    }
    BYTE* GetBuffer() { return m_pData; }

    // The characters up to the first NUL or the end of the data (a lone last byte is ignored);
    // empty without data.
    CString GetString() const;
    // Appends each NUL-terminated string in order up to the first empty one or the end of the
    // data; a last string that lacks its NUL is taken as it is.
    void GetMultiString(CNTokenList& tokens) const;
    // The 4 bytes as stored (little-endian); FALSE unless exactly 4 bytes are present.
    BOOL GetDword(DWORD* value) const;

private:
    DWORD m_dwType = 0;
    DWORD m_cbData = 0;
    BYTE* m_pData = nullptr;
};
