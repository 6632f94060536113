// The current directory and absolute paths through the Win32 API.
#include "platform/paths.h"

#include <windows.h>

#include <vector>

namespace {

// A call that returns the characters written, or the size needed (with its NUL) when the buffer
// was too small, or 0 on failure.
template <class Call> DWORD FetchPath(CString& out, size_t maxChars, Call call) {
    std::vector<wchar_t> buffer(maxChars + 1);
    DWORD length = call(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0)
        return GetLastError();
    if (length > maxChars) {
        SetLastError(kPathErrorInsufficientBuffer);
        return kPathErrorInsufficientBuffer;
    }
    out.assign(buffer.data(), length);
    return 0;
}

} // namespace

DWORD PlatformGetCurrentDirectory(CString& out, size_t maxChars) {
    return FetchPath(out, maxChars,
                     [](DWORD size, wchar_t* data) { return GetCurrentDirectoryW(size, data); });
}

DWORD PlatformGetFullPathName(LPCWSTR path, CString& out, size_t maxChars) {
    return FetchPath(out, maxChars, [path](DWORD size, wchar_t* data) {
        return GetFullPathNameW(path, size, data, nullptr);
    });
}
