// CHopwatchApp: the application object: prepares the process and runs the main dialog modally.
#pragma once

#include <windows.h>

#include "foundation/CNVersionInfo.h"
#include "foundation/base_types.h"

// The program icon (resource 128) at the system's large and small icon sizes, loaded once by
// LoadProgramIcons and shared (never destroyed); nullptr before.
extern HICON g_hLargeIcon;
extern HICON g_hSmallIcon;
// Loads both icons from instance (shared images). Idempotent.
void LoadProgramIcons(HINSTANCE instance);

// The version information of the program's own executable, read at start-up; used by the About
// box, the command-line help and the report.
extern CNVersionInfo g_OwnVersionInfo;

// The whole run of the program is the modal run of the main dialog; there is no message loop of
// its own. Main thread only.
class CHopwatchApp {
public:
    CHopwatchApp() = default;
    virtual ~CHopwatchApp() = default;
    CHopwatchApp(const CHopwatchApp&) = delete;
    CHopwatchApp& operator=(const CHopwatchApp&) = delete;

    // Called by the entry point before InitInstance.
    void SetInstance(HINSTANCE instance, LPCWSTR commandLine);
    HINSTANCE GetInstance() const { return m_instance; }
    // The command line without the program name.
    const CString& GetCommandLineText() const { return m_commandLine; }

    // Prepares the process, runs the main dialog and ends: always FALSE, like a framework
    // application whose work is done once its dialog has ended. In this order: common controls,
    // the CRC table cache, the own version information and the own-file self-check, sockets
    // (a box and the end when they fail), icons, the settings store and its loading, the modal
    // dialog, the settings saved when g_bSaveSettings is set, the cache freed.
    virtual BOOL InitInstance();
    // The outcome of the start-up self-check of the program's own file (see
    // CheckOwnFileIntegrity). A failed check is remembered here and changes nothing else: the
    // program runs as usual, and whatever version data could be read is shown.
    BOOL IsOwnFileIntact() const { return m_bOwnFileIntact; }

protected:
    // Starts the socket library; FALSE when it cannot be started. A test answers it to see the
    // program's way out when sockets are missing.
    virtual BOOL InitSockets();

private:
    HINSTANCE m_instance = nullptr;
    CString m_commandLine;
    BOOL m_bOwnFileIntact = FALSE;
};

// The one application object.
extern CHopwatchApp theApp;
