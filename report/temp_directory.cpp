// The directory that reports are written to: the parts that are the same on every system.
#include "report/temp_directory.h"

BOOL ReportTempDirectory(CString& directory, DWORD& error) {
    CString raw;
    if (!ReportTempVariable(raw, error))
        return FALSE;
    return ReportNormaliseDirectory(raw, directory, error);
}

int WindowsPathRootLength(const CString& path) {
    const std::size_t length = path.size();
    if (length >= 2 && path[1] == L':' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')))
        return 2;
    if (length < 2 || path[0] != L'\\' || path[1] != L'\\')
        return 0;
    const std::size_t server = path.find(L'\\', 2);
    if (server == CString::npos || server == 2)
        return 0;
    std::size_t share = path.find(L'\\', server + 1);
    if (share == server + 1)
        return 0;
    // "\\server\share" without the backslash after it is refused; the directories passed here
    // always end with one.
    if (share == CString::npos)
        return 0;
    return static_cast<int>(share);
}
