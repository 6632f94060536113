// Storing the report on POSIX: owner-only, never through a symbolic link, flushed to the disk.
#include "report/report_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "foundation/utf.h"
#include "platform/last_error.h"

namespace {

BOOL Fail(DWORD code, DWORD& error) {
    error = code;
    SetLastSystemError(code);
    return FALSE;
}

} // namespace

BOOL WriteReportFile(const CString& path, const std::string& bytes, BOOL mustBeNew, DWORD& error) {
    error = 0;
    // O_NOFOLLOW refuses a link at the path itself; with O_EXCL nothing that exists is reused,
    // so a file or link planted in a shared directory can neither redirect nor expose the report.
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    flags |= mustBeNew ? O_EXCL : O_TRUNC;
    const int fd = open(ToUtf8(path).c_str(), flags, 0600);
    if (fd < 0)
        return Fail(static_cast<DWORD>(errno), error);
    std::size_t done = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EINTR)
            error = static_cast<DWORD>(errno);
        else if (n == 0)
            error = EIO;
    }
    if (error == 0 && fsync(fd) != 0 && errno != EINVAL)
        error = static_cast<DWORD>(errno);
    if (close(fd) != 0 && error == 0)
        error = static_cast<DWORD>(errno);
    return error == 0 ? TRUE : Fail(error, error);
}
