// The user's temporary directory on Windows: TEMP read in full and turned into its long path.
#include "report/temp_directory.h"

#include <windows.h>

#include <vector>

#include "foundation/blank_set.h"

namespace {

// The first buffer holds 1,024 characters; the size passed leaves one spare.
constexpr DWORD kFirstTempBuffer = 1024;
// GetEnvironmentVariableW reports at most 32,767 characters; a few rounds are always enough, the
// bound only keeps a value that changes between calls from looping for ever.
constexpr int kMaxTempReads = 8;

BOOL Fail(DWORD code, DWORD& error) {
    error = code;
    SetLastError(code);
    return FALSE;
}

// The name the file system keeps for the last component of `prefix`, which must be a directory.
BOOL LongComponentName(const CString& prefix, CString& name, DWORD& error) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(prefix.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return Fail(GetLastError(), error);
    FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return Fail(ERROR_PATH_NOT_FOUND, error);
    name = found.cFileName;
    return TRUE;
}

} // namespace

BOOL ReportTempVariable(CString& value, DWORD& error) {
    std::vector<wchar_t> buffer(kFirstTempBuffer);
    DWORD size = kFirstTempBuffer - 1;
    for (int round = 0; round < kMaxTempReads; ++round) {
        SetLastError(0);
        const DWORD length = GetEnvironmentVariableW(L"TEMP", buffer.data(), size);
        if (length == 0)
            return Fail(GetLastError() != 0 ? GetLastError() : ERROR_ENVVAR_NOT_FOUND, error);
        if (length < size) {
            value.assign(buffer.data(), length);
            return TRUE;
        }
        // Too small: the length reported counts the terminating NUL.
        buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
        size = length + 1;
    }
    return Fail(ERROR_INSUFFICIENT_BUFFER, error);
}

BOOL ReportNormaliseDirectory(const CString& raw, CString& out, DWORD& error) {
    CString trimmed = TrimBlanks(raw);
    if (trimmed.empty())
        return Fail(ERROR_PATH_NOT_FOUND, error);
    if (trimmed.back() != L'\\')
        trimmed += L'\\';
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetFullPathNameW(trimmed.c_str(), static_cast<DWORD>(buffer.size()),
                                    buffer.data(), nullptr);
    if (length >= buffer.size()) {
        buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
        length = GetFullPathNameW(trimmed.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                                  nullptr);
    }
    if (length == 0 || length >= buffer.size())
        return Fail(length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER, error);
    const CString full(buffer.data(), length);
    if (full.size() < 3)
        return Fail(ERROR_BAD_PATHNAME, error);
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Fail(GetLastError(), error);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return Fail(ERROR_DIRECTORY, error);
    const int rootLength = WindowsPathRootLength(full);
    if (rootLength == 0)
        return Fail(ERROR_BAD_PATHNAME, error);

    // The components below the root, each ending where its backslash starts.
    std::vector<std::size_t> ends;
    for (std::size_t at = full.find(L'\\', rootLength + 1); at != CString::npos;
         at = full.find(L'\\', at + 1))
        if (at > 0 && full[at - 1] != L'\\')
            ends.push_back(at);
    std::vector<CString> names(ends.size());
    // Deepest first: each lookup names the whole prefix as it was given, so a short name higher
    // up is still found.
    for (std::size_t i = ends.size(); i-- > 0;)
        if (!LongComponentName(full.substr(0, ends[i]), names[i], error))
            return FALSE;
    CString result = full.substr(0, rootLength);
    for (const CString& name : names)
        result += L'\\' + name;
    out = result + L'\\';
    return TRUE;
}
