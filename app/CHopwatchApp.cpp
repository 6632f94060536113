// CHopwatchApp: the application object: prepares the process and runs the main dialog modally.
#include "app/CHopwatchApp.h"

#include <commctrl.h>

#include "app/CHopwatchDlg.h"
#include "resources/resource_ids.h"
#include "ui/CDialog.h"

CHopwatchApp theApp;
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

// A minimal start-up: common controls, icons, the dialog with the settings' compiled-in
// defaults. Loading and saving the settings comes with the registry.
BOOL CHopwatchApp::InitInstance() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    ::InitCommonControlsEx(&icc);
    CDialog::SetResourceInstance(m_instance);
    LoadProgramIcons(m_instance);

    CHopwatchDlg dialog;
    dialog.SetCommandLineText(m_commandLine);
    dialog.DoModal(nullptr);
    return FALSE;
}
