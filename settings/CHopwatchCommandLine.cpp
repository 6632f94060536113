// CHopwatchCommandLine: the desktop program's command line: tokens, options, host, help and errors.
#include "settings/CHopwatchCommandLine.h"

#include "foundation/blank_set.h"
#include "foundation/text_utils.h"
#include "settings/host_history.h"
#include "settings/settings_globals.h"

BOOL CHopwatchCommandLine::TakeCommandLine(LPCWSTR text) {
    m_PendingTokens.ParseCommandLine(text);
    m_PendingTokens.RemoveEmpty();
    if (m_PendingTokens.GetCount() == 0)
        return FALSE;
    g_bSaveSettings = FALSE;
    return TRUE;
}

BOOL CHopwatchCommandLine::Process() {
    BOOL hostGiven = FALSE;
    while (m_PendingTokens.GetCount() != 0) {
        CString token = TrimBlanks(m_PendingTokens.RemoveHead());
        switch (m_dwParserState) {
        case kStateOptionOrHost:
            if (token.empty())
                break;
            if (token[0] == L'/') {
                ProcessOption(token);
            } else {
                ProcessHost(token);
                hostGiven = TRUE;
            }
            break;
        case kStateTtlValue:
        case kStateIntervalValue:
        case kStateTimeoutValue:
        case kStateMethodValue: {
            // The next token is the value whatever it looks like: "/int /dns" is a bad interval.
            ECommandLineOption option = m_dwParserState == kStateTtlValue ? kCmdOptionTtl
                                        : m_dwParserState == kStateIntervalValue
                                            ? kCmdOptionInterval
                                        : m_dwParserState == kStateTimeoutValue ? kCmdOptionTimeout
                                                                                : kCmdOptionMethod;
            m_dwParserState = kStateOptionOrHost;
            ProcessValue(option, token);
            break;
        }
        default:
            m_dwParserState = kStateOptionOrHost;
            break;
        }
    }
    if (m_dwParserState != kStateOptionOrHost)
        m_ErrorMessages.AddTail(kUnfinishedCommandLineOptionText);
    return hostGiven;
}

void CHopwatchCommandLine::ProcessOption(const CString& token) {
    switch (LookupCommandLineOption(token)) {
    case kCmdOptionHelp:
        m_bHelpRequested = TRUE;
        break;
    case kCmdOptionTtl:
        m_dwParserState = kStateTtlValue;
        break;
    case kCmdOptionInterval:
        m_dwParserState = kStateIntervalValue;
        break;
    case kCmdOptionTimeout:
        m_dwParserState = kStateTimeoutValue;
        break;
    case kCmdOptionMethod:
        m_dwParserState = kStateMethodValue;
        break;
    case kCmdOptionDns:
        g_bReverseDNS = 1;
        break;
    case kCmdOptionNoDns:
        g_bReverseDNS = 0;
        break;
    case kCmdOptionSave:
        g_bSaveSettings = TRUE;
        break;
    case kCmdOptionNoStart:
        m_bStartAfterParsing = FALSE;
        break;
    case kCmdOptionNone:
    case kCmdOptionUnknown:
        m_ErrorMessages.AddTail(UnrecognizedCommandLineOptionText(token));
        break;
    }
}

void CHopwatchCommandLine::ProcessValue(ECommandLineOption option, const CString& token) {
    DWORD value = 0;
    if (!ParseCommandLineOptionValue(option, token, &value)) {
        m_ErrorMessages.AddTail(BadCommandLineValueText(option, token));
        return;
    }
    if (option == kCmdOptionTtl)
        g_dwMaxTTL = value;
    else if (option == kCmdOptionInterval)
        g_dwPingIntervalMS = value;
    else if (option == kCmdOptionMethod)
        g_dwProbeMethod = value;
    else
        g_dwPingTimeoutMS = value;
}

void CHopwatchCommandLine::ProcessHost(const CString& host) {
    PushHostHistory(g_HostHistory, host);
    m_bStartAfterParsing = TRUE;
}

BOOL CHopwatchCommandLine::ShouldStart() const {
    return !HasErrors() && !m_bHelpRequested && m_bStartAfterParsing;
}

CString CHopwatchCommandLine::BoxCaption() const {
    return HasErrors() ? L"Command line error(s)" : L"Command line help";
}

CString CHopwatchCommandLine::BoxText(const CString& exeFileName) const {
    CString text = m_ErrorMessages.Join(L"\r\n");
    // A line of its own for "Usage:", rather than running on after the last error.
    if (!text.empty())
        text += L"\r\n";
    return text + L"Usage:\r\n" + exeFileName + kCommandLineUsageText;
}

CString CHopwatchCommandLine::UsageFileName(const CString& exePath) {
    CString full;
    if (exePath.empty() || !GetFullPath(exePath.c_str(), full))
        return CString();
    size_t slash = full.find_last_of(L"\\/");
    return slash == CString::npos ? full : full.substr(slash + 1);
}
