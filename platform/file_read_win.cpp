// Finding one file by name and reading it sequentially, over FindFirstFileW and ReadFile.
#include "platform/file_read.h"

#include <windows.h>

#include <vector>

namespace {

std::uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

DWORD PlatformFindFile(LPCWSTR name, SFileFindData& data) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(name, &found);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError();
    data.m_dwAttributes = found.dwFileAttributes;
    data.m_creationTime = FileTimeValue(found.ftCreationTime);
    data.m_accessTime = FileTimeValue(found.ftLastAccessTime);
    data.m_writeTime = FileTimeValue(found.ftLastWriteTime);
    data.m_nSize = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    data.m_strName = found.cFileName;
    data.m_strShortName = found.cAlternateFileName;
    WIN32_FIND_DATAW more;
    DWORD result = 0;
    if (FindNextFileW(find, &more))
        result = kFindSeveralMatches;
    else if (GetLastError() != ERROR_NO_MORE_FILES)
        result = GetLastError();
    FindClose(find);
    return result;
}

DWORD CPlatformReadFile::Open(LPCWSTR path) {
    Close();
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    m_handle = reinterpret_cast<std::intptr_t>(file);
    return 0;
}

DWORD CPlatformReadFile::Read(void* buffer, size_t size, size_t* got) {
    *got = 0;
    DWORD read = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(m_handle), buffer, static_cast<DWORD>(size), &read,
                  nullptr))
        return GetLastError();
    *got = read;
    return 0;
}

void CPlatformReadFile::Close() {
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

DWORD PlatformGetModuleFileName(CString& out, size_t maxChars) {
    std::vector<wchar_t> buffer(maxChars + 1);
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(maxChars));
    if (length == 0)
        return GetLastError();
    out.assign(buffer.data(), length);
    return 0;
}
