// The user's temporary directory on POSIX: TMPDIR, or /tmp, as an absolute directory path.
#include "report/temp_directory.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "foundation/utf.h"
#include "platform/paths.h"

BOOL ReportTempVariable(CString& value, DWORD& error) {
    const char* tmpdir = std::getenv("TMPDIR");
    value = tmpdir != nullptr && *tmpdir != '\0' ? FromUtf8(tmpdir) : CString(L"/tmp");
    error = 0;
    return TRUE;
}

BOOL ReportNormaliseDirectory(const CString& raw, CString& out, DWORD& error) {
    CString full;
    error = PlatformGetFullPathName(raw.c_str(), full, 4095);
    if (error != 0)
        return FALSE;
    struct stat info;
    if (stat(ToUtf8(full).c_str(), &info) != 0) {
        error = static_cast<DWORD>(errno);
        return FALSE;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = ENOTDIR;
        return FALSE;
    }
    if (full.back() != L'/')
        full += L'/';
    out = full;
    return TRUE;
}
