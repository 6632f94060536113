// CNInetHost: host text (name or address, optional ":port") to IPv4 addresses.
#pragma once

#include "foundation/NArray.h"
#include "foundation/base_types.h"

class CNInetHost {
public:
    // Stores the text and resolves it at once; read GetAddressCount() for the outcome.
    explicit CNInetHost(const CString& host = CString());
    virtual ~CNInetHost();

    // Stores the host text trimmed of the blank set and clears every result.
    void SetHost(const CString& host);
    // Resolves the stored text: a dotted address without a lookup, else the system's resolver.
    // FALSE (results cleared) for an empty host, a bad port or no answer.
    BOOL Resolve();

    const CString& GetHostText() const { return m_strHost; }
    const CString& GetCanonicalName() const { return m_strCanonicalName; }
    int GetPort() const { return m_nPort; } // -1 when the text had no port
    DWORD GetAliasCount() const { return m_dwAliasCount; }
    const CString& GetAlias(DWORD index) const { return m_aliases[static_cast<int>(index)]; }
    DWORD GetAddressLength() const { return m_dwAddressLength; }
    DWORD GetAddressCount() const { return m_dwAddressCount; }
    // An address in network byte order; index below GetAddressCount().
    DWORD GetAddress(DWORD index) const { return m_addresses[static_cast<int>(index)]; }

private:
    void ClearResults();

    CString m_strText; // the whole trimmed text as set, port included, so Resolve can repeat
    CString m_strHost;
    CString m_strCanonicalName;
    int m_nPort = -1;
    DWORD m_dwAliasCount = 0;
    NArray<CString> m_aliases;
    DWORD m_dwAddressLength = 0;
    DWORD m_dwAddressCount = 0;
    NArray<DWORD> m_addresses;
};
