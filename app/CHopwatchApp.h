// CHopwatchApp: the application object: prepares the process and runs the main dialog modally.
#pragma once

#include <windows.h>

#include "foundation/base_types.h"

// The program icon (resource 128) at the system's large and small icon sizes, loaded once by
// LoadProgramIcons and shared (never destroyed); nullptr before.
extern HICON g_hLargeIcon;
extern HICON g_hSmallIcon;
// Loads both icons from instance (shared images). Idempotent.
void LoadProgramIcons(HINSTANCE instance);

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
    // application whose work is done once its dialog has ended.
    virtual BOOL InitInstance();

private:
    HINSTANCE m_instance = nullptr;
    CString m_commandLine;
};

// The one application object.
extern CHopwatchApp theApp;
