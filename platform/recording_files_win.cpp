// The files of run recordings on Windows: the local application data folder, files shared for
// reading only.
#include "platform/recording_files.h"

#include <windows.h>

#include <sddl.h>

const wchar_t kPlatformPathSeparator = L'\\';

namespace {

CString Environment(LPCWSTR name) {
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? CString(buffer, length) : CString();
}

// A folder the owner (and the system) alone may use, its files inheriting that.
BOOL CreatePrivateDirectory(const CString& path) {
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, FALSE};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;SY)",
                                                             SDDL_REVISION_1, &descriptor, nullptr))
        attributes.lpSecurityDescriptor = descriptor;
    const BOOL created = CreateDirectoryW(path.c_str(), &attributes);
    const DWORD error = GetLastError();
    if (descriptor != nullptr)
        LocalFree(descriptor);
    SetLastError(error);
    return created;
}

} // namespace

BOOL PlatformRecordingsFolder(CString& folder, DWORD& error) {
    CString base = Environment(L"LOCALAPPDATA");
    if (base.empty()) {
        const CString profile = Environment(L"USERPROFILE");
        if (profile.empty()) {
            error = ERROR_ENVVAR_NOT_FOUND;
            return FALSE;
        }
        base = profile + L"\\AppData\\Local";
    }
    if (base.back() != L'\\')
        base += L'\\';
    folder = base + L"Hopwatch\\Recordings\\";
    error = 0;
    return TRUE;
}

DWORD PlatformMakePrivateFolder(const CString& folder) {
    CString dir = folder;
    while (dir.size() > 3 && (dir.back() == L'\\' || dir.back() == L'/'))
        dir.pop_back();
    // Parents first, past the drive or share root.
    for (size_t at = dir.find_first_of(L"\\/", 3); at != CString::npos;
         at = dir.find_first_of(L"\\/", at + 1)) {
        const CString prefix = dir.substr(0, at);
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS &&
            GetLastError() != ERROR_ACCESS_DENIED)
            return GetLastError();
    }
    if (!CreatePrivateDirectory(dir) && GetLastError() != ERROR_ALREADY_EXISTS)
        return GetLastError();
    const DWORD attributes = GetFileAttributesW(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return ERROR_DIRECTORY;
    return 0;
}

DWORD CPlatformAppendFile::Create(const CString& path, BOOL mustBeNew) {
    Close();
    // CREATE_NEW fails on anything at the path, a link included; an existing path that is to
    // be replaced must not be a link (a reparse point) either.
    if (!mustBeNew) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
            return ERROR_ACCESS_DENIED;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              mustBeNew ? CREATE_NEW : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    m_handle = reinterpret_cast<std::intptr_t>(file);
    return 0;
}

DWORD CPlatformAppendFile::Write(const void* data, std::size_t size) {
    if (m_handle == -1)
        return ERROR_INVALID_HANDLE;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(m_handle), bytes, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        bytes += written;
        size -= written;
    }
    return 0;
}

DWORD CPlatformAppendFile::Flush() {
    if (m_handle == -1)
        return ERROR_INVALID_HANDLE;
    HANDLE file = reinterpret_cast<HANDLE>(m_handle);
    if (GetFileType(file) == FILE_TYPE_DISK && !FlushFileBuffers(file))
        return GetLastError();
    return 0;
}

void CPlatformAppendFile::Close() {
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

DWORD PlatformListFiles(const CString& folder, const CString& suffix,
                        std::vector<SPlatformFileEntry>& files) {
    files.clear();
    CString pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*' + suffix;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : error;
    }
    do {
        const CString name = found.cFileName;
        // Patterns also match short names and longer extensions ("*.hwrec" finds ".hwrecx").
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
                0 ||
            name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        SPlatformFileEntry file;
        file.name = name;
        file.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        file.writeTime = (static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                         found.ftLastWriteTime.dwLowDateTime;
        files.push_back(file);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 0;
}

DWORD PlatformRemoveUnusedFile(const CString& path) {
    // A writer's handle does not share deletion, so the delete fails while it is open.
    if (DeleteFileW(path.c_str()))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ? kPlatformFileInUse
                                                                            : error;
}
