// CNInetHost: host text to IPv4 addresses through the system's resolver.
#include "engine/CNInetHost.h"

#include <string>

#include "engine/inet_address.h"
#include "foundation/blank_set.h"
#include "foundation/text_utils.h"
#include "platform/ansi_text.h"
#include "platform/resolver.h"

namespace {

const size_t kMaxPortDigits = 5;
const DWORD kMaxPort = 65535;

// A port text is at most five decimal digits with a value of at most 65535.
bool ParsePort(const CString& text, int& port) {
    if (text.size() > kMaxPortDigits)
        return false;
    DWORD value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<DWORD>(c - L'0');
    }
    if (value > kMaxPort)
        return false;
    port = static_cast<int>(value);
    return true;
}

} // namespace

CNInetHost::CNInetHost(const CString& host) {
    SetHost(host);
    Resolve();
}

CNInetHost::~CNInetHost() = default;

void CNInetHost::ClearResults() {
    m_nPort = -1;
    m_strCanonicalName.clear();
    m_aliases.SetSize(0);
    m_addresses.SetSize(0);
    m_dwAliasCount = 0;
    m_dwAddressLength = 0;
    m_dwAddressCount = 0;
}

void CNInetHost::SetHost(const CString& host) {
    ClearResults();
    m_strText = TrimBlanks(host);
    m_strHost = m_strText;
}

BOOL CNInetHost::Resolve() {
    ClearResults();
    m_strHost = m_strText;
    const size_t colon = m_strText.find(L':');
    if (colon != CString::npos) {
        m_strHost = TrimBlanks(m_strText.substr(0, colon));
        const CString portText = TrimBlanks(m_strText.substr(colon + 1));
        if (!portText.empty() && !ParsePort(portText, m_nPort)) {
            ClearResults();
            PlatformSetInvalidHostError();
            return FALSE;
        }
    }
    std::string name;
    if (m_strHost.empty() || !PlatformWideToAnsi(m_strHost, name)) {
        ClearResults();
        PlatformSetInvalidHostError();
        return FALSE;
    }

    DWORD dotted = 0;
    if (PlatformParseDotted(name, dotted)) {
        if (!m_addresses.SetSize(1)) {
            ClearResults();
            return FALSE;
        }
        m_addresses[0] = dotted;
        m_dwAddressCount = 1;
        m_dwAddressLength = 4;
        m_strCanonicalName = FormatDottedAddress(dotted);
        return TRUE;
    }

    SResolvedHost answer;
    if (!PlatformResolveName(name, answer) || answer.addresses.empty()) {
        ClearResults();
        return FALSE;
    }
    const int aliasCount = static_cast<int>(answer.aliases.size());
    const int addressCount = static_cast<int>(answer.addresses.size());
    if (!m_aliases.SetSize(aliasCount) || !m_addresses.SetSize(addressCount)) {
        ClearResults();
        return FALSE;
    }
    m_strCanonicalName = AnsiToString(answer.officialName.c_str());
    for (int i = 0; i < aliasCount; ++i)
        m_aliases[i] = AnsiToString(answer.aliases[static_cast<size_t>(i)].c_str());
    for (int i = 0; i < addressCount; ++i)
        m_addresses[i] = answer.addresses[static_cast<size_t>(i)];
    m_dwAliasCount = static_cast<DWORD>(aliasCount);
    m_dwAddressCount = static_cast<DWORD>(addressCount);
    m_dwAddressLength = 4;
    return TRUE;
}
