// Storing the report on Windows: create, write in one call, truncate, flush and close.
#include "report/report_file.h"

#include <windows.h>

#include "platform/last_error.h"

BOOL WriteReportFile(const CString& path, const std::string& bytes, BOOL mustBeNew, DWORD& error) {
    (void)mustBeNew; // the report's name carries the time down to the millisecond
    error = 0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return FALSE;
    }
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (bytes.size() > 0xFFFFFFFFu)
        error = ERROR_FILE_TOO_LARGE;
    else if (!WriteFile(file, bytes.data(), size, &written, nullptr))
        error = GetLastError();
    else if (written != size)
        error = ERROR_WRITE_FAULT;
    // Truncating and flushing mean something only for files on a disk, not for devices or pipes.
    if (error == 0 && GetFileType(file) == FILE_TYPE_DISK) {
        if (!SetEndOfFile(file) || !FlushFileBuffers(file))
            error = GetLastError();
    }
    if (!CloseHandle(file) && error == 0)
        error = GetLastError();
    if (error == 0)
        return TRUE;
    SetLastSystemError(error);
    return FALSE;
}
