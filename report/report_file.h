// Storing the report: the file's path and its creation, with the system's error on failure.
#pragma once

#include <string>

#include "foundation/base_types.h"

// Writes `bytes` as the whole content of the file at `path`, flushed to the disk. Windows: an
// existing file is replaced; a short write is error 29 (write fault). POSIX: the file is readable
// and writable by its owner only and a symbolic link at `path` is never followed; with mustBeNew
// (a shared temporary directory) the file must not exist yet, without it an existing file is
// truncated. FALSE with the system's code in `error`, also made the thread's last error.
BOOL WriteReportFile(const CString& path, const std::string& bytes, BOOL mustBeNew, DWORD& error);
