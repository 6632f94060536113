// CHopwatchApp: the application object: prepares the process and runs the main dialog modally.
#include "app/CHopwatchApp.h"

#include <commctrl.h>

#include "app/CHopwatchDlg.h"
#include "foundation/CNCrc32.h"
#include "foundation/own_file_check.h"
#include "platform/sockets_init.h"
#include "settings/CHopwatchCommandLine.h"
#include "settings/hopwatch_settings.h"
#include "settings/settings_globals.h"
#include "resources/resource_ids.h"
#include "ui/CDialog.h"
#include "ui/ui_message_box.h"

CHopwatchApp theApp;
CNVersionInfo g_OwnVersionInfo;
HICON g_hLargeIcon = nullptr;
HICON g_hSmallIcon = nullptr;

void LoadProgramIcons(HINSTANCE instance) {
    if (g_hLargeIcon == nullptr) {
        g_hLargeIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                       IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                       ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    }
    if (g_hSmallIcon == nullptr) {
        g_hSmallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                       IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
}

void CHopwatchApp::SetInstance(HINSTANCE instance, LPCWSTR commandLine) {
    m_instance = instance;
    m_commandLine = commandLine != nullptr ? commandLine : L"";
}

namespace {

// The caption of the program's own boxes, as a framework application without a name of its own
// has it: the executable's file name without its extension.
CString ApplicationTitle() {
    CString name = CHopwatchCommandLine::UsageFileName(g_OwnVersionInfo.GetPath());
    size_t dot = name.find_last_of(L'.');
    return name.empty() ? CString(L"Hopwatch") : dot == CString::npos ? name : name.substr(0, dot);
}

} // namespace

BOOL CHopwatchApp::InitSockets() {
    return PlatformSocketsInit() ? TRUE : FALSE;
}

BOOL CHopwatchApp::InitInstance() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    ::InitCommonControlsEx(&icc);
    CNCrc32::InitCache();
    CDialog::SetResourceInstance(m_instance);

    g_OwnVersionInfo.ReadOwnModule();
    m_bOwnFileIntact = CheckOwnFileIntegrity(g_OwnVersionInfo);

    if (!InitSockets()) {
        wchar_t text[256] = {};
        ::LoadStringW(m_instance, IDS_SOCKETS_INIT_FAILED, text, 256);
        UiMessageBox(nullptr, text, ApplicationTitle(), MB_OK);
        CNCrc32::FreeCache();
        return FALSE;
    }
    LoadProgramIcons(m_instance);

    // The maker's key is "ORVANE"; the settings live in its "Hopwatch\Settings" key.
    PrepareSettingsStore(g_PersistentStore);
    g_PersistentStore.LoadAll();

    {
        CHopwatchDlg dialog;
        dialog.SetCommandLineText(m_commandLine);
        dialog.DoModal(nullptr);
        // The dialog has stopped the engine in its OnDestroy; its placement is in the settings.
        if (g_bSaveSettings)
            g_PersistentStore.SaveAll();
    }
    CNCrc32::FreeCache();
    return FALSE;
}
