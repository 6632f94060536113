// CHopwatchCommandLine: the desktop program's command line: tokens, options, host, help and errors.
#pragma once

#include "foundation/CNTokenList.h"
#include "foundation/base_types.h"
#include "settings/command_line_rules.h"

// The main window takes the command line once, after it is up: TakeCommandLine splits it, and
// when there were tokens the window posts itself a message whose handler calls Process and then
// either starts the run (ShouldStart) or shows the box (ShouldShowBox, BoxCaption, BoxText).
// Process changes the settings globals and the host history for this run. Main thread only.
class CHopwatchCommandLine {
public:
    // Parser states between two tokens.
    enum : DWORD {
        kStateOptionOrHost = 0,
        kStateTtlValue = 1,
        kStateIntervalValue = 2,
        kStateTimeoutValue = 3,
        kStateMethodValue = 4,
    };

    CHopwatchCommandLine() = default;
    virtual ~CHopwatchCommandLine() = default;

    // Splits the command-line text without the program name at blanks (double quotes group and
    // are dropped) and keeps the non-empty tokens. When there is at least one, g_bSaveSettings is
    // cleared, so values given for one run are not stored, and TRUE is returned.
    BOOL TakeCommandLine(LPCWSTR text);
    // Consumes the pending tokens in order: options change the settings globals ("/save" sets
    // g_bSaveSettings again); every host moves to the head of g_HostHistory (an entry equal to
    // it without regard to case is removed first) and asks for the start; bad tokens add one
    // error each and parsing goes on. Returns TRUE when at least one host was given: the host
    // box is then to be refilled from the history and its first item selected.
    BOOL Process();

    // No errors, no help, and a host asked for the start.
    BOOL ShouldStart() const;
    // Errors were found or help was asked for.
    BOOL ShouldShowBox() const { return HasErrors() || m_bHelpRequested; }
    BOOL HasErrors() const { return m_ErrorMessages.GetCount() != 0; }
    // "Command line error(s)" (error icon) or "Command line help" (information icon).
    CString BoxCaption() const;
    // The errors, one per line, then "Usage:", the program's file name and the usage text.
    CString BoxText(const CString& exeFileName) const;
    // The file name part of the program's full path (after the last backslash of its absolute
    // form); empty when the path cannot be made absolute.
    static CString UsageFileName(const CString& exePath);

    const CNTokenList& GetErrors() const { return m_ErrorMessages; }
    CNTokenList& GetPendingTokens() { return m_PendingTokens; }
    BOOL IsHelpRequested() const { return m_bHelpRequested; }
    DWORD GetParserState() const { return m_dwParserState; }

private:
    void ProcessOption(const CString& token);
    void ProcessValue(ECommandLineOption option, const CString& token);
    void ProcessHost(const CString& host);

    DWORD m_dwParserState = kStateOptionOrHost;
    CNTokenList m_PendingTokens;
    BOOL m_bHelpRequested = FALSE;
    BOOL m_bStartAfterParsing = FALSE;
    CNTokenList m_ErrorMessages;
};
