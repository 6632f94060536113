// Finding one file by name and reading it sequentially, over stat and read.
#include "platform/file_read.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "foundation/utf.h"

namespace {

const DWORD kErrorFileNotFound = 2;
const DWORD kErrorPathNotFound = 3;
const DWORD kErrorAccessDenied = 5;

// The system's errors in the Win32 numbers the callers know, where there is one.
DWORD ErrorCode(int error) {
    switch (error) {
    case ENOENT:
        return kErrorFileNotFound;
    case ENOTDIR:
        return kErrorPathNotFound;
    case EACCES:
    case EPERM:
        return kErrorAccessDenied;
    default:
        return static_cast<DWORD>(error);
    }
}

std::uint64_t FileTimeValue(const timespec& time) {
    const std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
    return static_cast<std::uint64_t>((time.tv_sec + kSecondsFrom1601To1970) * 10000000LL +
                                      time.tv_nsec / 100);
}

} // namespace

DWORD PlatformFindFile(LPCWSTR name, SFileFindData& data) {
    if (name == nullptr || *name == L'\0')
        return kErrorFileNotFound;
    std::string path = ToUtf8(name);
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return ErrorCode(errno);
    data.m_dwAttributes = S_ISDIR(info.st_mode) ? kFileAttributeDirectory : 0x80; // NORMAL
    data.m_creationTime = FileTimeValue(info.st_ctim);
    data.m_accessTime = FileTimeValue(info.st_atim);
    data.m_writeTime = FileTimeValue(info.st_mtim);
    data.m_nSize = static_cast<std::uint64_t>(info.st_size);
    size_t slash = path.find_last_of('/');
    data.m_strName = FromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
    data.m_strShortName.clear();
    return 0;
}

DWORD CPlatformReadFile::Open(LPCWSTR path) {
    Close();
    int fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ErrorCode(errno);
    m_handle = fd;
    return 0;
}

DWORD CPlatformReadFile::Read(void* buffer, size_t size, size_t* got) {
    *got = 0;
    for (;;) {
        ssize_t n = read(static_cast<int>(m_handle), buffer, size);
        if (n >= 0) {
            *got = static_cast<size_t>(n);
            return 0;
        }
        if (errno != EINTR)
            return ErrorCode(errno);
    }
}

void CPlatformReadFile::Close() {
    if (m_handle != -1)
        close(static_cast<int>(m_handle));
    m_handle = -1;
}

DWORD PlatformGetModuleFileName(CString& out, size_t maxChars) {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length < 0)
        return ErrorCode(errno);
    CString path = Utf8ToWide(buffer, static_cast<size_t>(length), TRUE);
    out = path.size() > maxChars ? path.substr(0, maxChars) : path;
    return 0;
}
