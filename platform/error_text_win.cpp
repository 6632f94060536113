// System error messages on Windows: FormatMessageW over the system table and NETMSG.DLL.
#include "platform/error_text.h"

#include <windows.h>

bool PlatformErrorMessage(DWORD code, CString* text) {
    // Network-management messages live in their own library; without it the system table is
    // still asked.
    HMODULE library = nullptr;
    if (code >= 2100 && code <= 2999)
        library = ::LoadLibraryExW(L"NETMSG.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_FROM_SYSTEM |
                        (library != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    LPWSTR buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(flags, library, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                         reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    const bool found = length != 0 && buffer != nullptr;
    if (found)
        text->assign(buffer, length);
    if (buffer != nullptr)
        ::LocalFree(buffer);
    if (library != nullptr)
        ::FreeLibrary(library);
    return found;
}
