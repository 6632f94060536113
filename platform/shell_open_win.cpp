// Opening a file with its default program on Windows: ShellExecuteW "open".
#include "platform/shell_open.h"

#include <windows.h>

#include <shellapi.h>

DWORD PlatformOpenWithDefaultProgram(const CString& path) {
    const std::size_t slash = path.rfind(L'\\');
    const CString directory = slash == CString::npos ? CString() : path.substr(0, slash + 1);
    SetLastError(0);
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", path.c_str(), nullptr,
                      directory.empty() ? nullptr : directory.c_str(), SW_SHOWNORMAL));
    if (result > 32)
        return 0;
    // ShellExecuteW does not always set the last error; its own result codes below 32 are
    // Win32 codes too, except "no association".
    DWORD error = GetLastError();
    if (error == 0)
        error = result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : static_cast<DWORD>(result);
    if (error == 0)
        error = ERROR_GEN_FAILURE;
    SetLastError(error);
    return error;
}
