// The files of run recordings on POSIX: XDG state folder, O_NOFOLLOW files under flock.
#include "platform/recording_files.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "foundation/utf.h"

const wchar_t kPlatformPathSeparator = L'/';

namespace {

std::uint64_t FileTimeValue(const timespec& time) {
    const std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
    return static_cast<std::uint64_t>((time.tv_sec + kSecondsFrom1601To1970) * 10000000LL +
                                      time.tv_nsec / 100);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* pw = getpwuid(getuid());
        home = pw != nullptr ? pw->pw_dir : nullptr;
    }
    return home != nullptr && home[0] == '/' ? std::string(home) : std::string();
}

} // namespace

BOOL PlatformRecordingsFolder(CString& folder, DWORD& error) {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) {
            error = ENOENT;
            return FALSE;
        }
        base = home + "/.local/state";
    }
    if (base.back() != '/')
        base += '/';
    folder = FromUtf8(base + "hopwatch/recordings/");
    error = 0;
    return TRUE;
}

DWORD PlatformMakePrivateFolder(const CString& folder) {
    std::string dir = ToUtf8(folder);
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir.empty())
        return ENOENT;
    for (size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1)) {
        if (mkdir(dir.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST)
            return static_cast<DWORD>(errno);
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return static_cast<DWORD>(errno);
    struct stat info;
    if (stat(dir.c_str(), &info) != 0)
        return static_cast<DWORD>(errno);
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    // A folder of another user could be read by that user whatever its mode says.
    if (info.st_uid != geteuid())
        return EACCES;
    if ((info.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0)
        return static_cast<DWORD>(errno);
    return 0;
}

DWORD CPlatformAppendFile::Create(const CString& path, BOOL mustBeNew) {
    Close();
    // O_NOFOLLOW refuses a link at the path itself; a new file in the private folder also
    // refuses anything that exists already.
    int flags = O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC;
    flags |= mustBeNew ? O_EXCL : O_TRUNC;
    const int fd = open(ToUtf8(path).c_str(), flags, 0600);
    if (fd < 0)
        return static_cast<DWORD>(errno);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return EINVAL;
    }
    // An existing file that was emptied keeps its mode otherwise.
    if ((info.st_mode & 077) != 0)
        fchmod(fd, 0600);
    flock(fd, LOCK_EX | LOCK_NB);
    m_handle = fd;
    return 0;
}

DWORD CPlatformAppendFile::Write(const void* data, std::size_t size) {
    if (m_handle == -1)
        return EBADF;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(static_cast<int>(m_handle), bytes, size);
        if (n > 0) {
            bytes += n;
            size -= static_cast<std::size_t>(n);
        } else if (n == 0) {
            return EIO;
        } else if (errno != EINTR) {
            return static_cast<DWORD>(errno);
        }
    }
    return 0;
}

DWORD CPlatformAppendFile::Flush() {
    if (m_handle == -1)
        return EBADF;
    // A file system that cannot sync (a pipe, some special files) has nothing to lose.
    if (fdatasync(static_cast<int>(m_handle)) != 0 && errno != EINVAL)
        return static_cast<DWORD>(errno);
    return 0;
}

void CPlatformAppendFile::Close() {
    if (m_handle != -1)
        close(static_cast<int>(m_handle));
    m_handle = -1;
}

DWORD PlatformListFiles(const CString& folder, const CString& suffix,
                        std::vector<SPlatformFileEntry>& files) {
    files.clear();
    const std::string dir = ToUtf8(folder);
    DIR* stream = opendir(dir.c_str());
    if (stream == nullptr)
        return static_cast<DWORD>(errno);
    const std::string end = ToUtf8(suffix);
    while (const dirent* entry = readdir(stream)) {
        const std::string name = entry->d_name;
        if (name.size() <= end.size() || name.compare(name.size() - end.size(), end.size(), end))
            continue;
        struct stat info;
        if (fstatat(dirfd(stream), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        SPlatformFileEntry file;
        file.name = FromUtf8(name);
        file.size = static_cast<std::uint64_t>(info.st_size);
        file.writeTime = FileTimeValue(info.st_mtim);
        files.push_back(file);
    }
    closedir(stream);
    return 0;
}

DWORD PlatformRemoveUnusedFile(const CString& path) {
    const std::string bytes = ToUtf8(path);
    const int fd = open(bytes.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return static_cast<DWORD>(errno);
    // A writer holds its file locked for as long as it writes.
    DWORD error = 0;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno == EWOULDBLOCK ? kPlatformFileInUse : static_cast<DWORD>(errno);
    else if (unlink(bytes.c_str()) != 0)
        error = static_cast<DWORD>(errno);
    close(fd);
    return error;
}
