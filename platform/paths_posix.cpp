// The current directory and absolute paths on Linux (getcwd and joining by names).
#include "platform/paths.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <vector>

#include "foundation/utf.h"

namespace {

DWORD CurrentDirectory(CString& out) {
    // getcwd counts bytes and a character may take four, so the buffer grows until it fits.
    for (size_t size = 4096; size <= 65536; size *= 2) {
        std::vector<char> buffer(size);
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            out = Utf8ToWide(buffer.data(), std::strlen(buffer.data()), TRUE);
            return 0;
        }
        if (errno != ERANGE)
            return static_cast<DWORD>(errno);
    }
    return kPathErrorInsufficientBuffer;
}

} // namespace

DWORD PlatformGetCurrentDirectory(CString& out, size_t maxChars) {
    CString dir;
    DWORD error = CurrentDirectory(dir);
    if (error != 0)
        return error;
    if (dir.size() > maxChars)
        return kPathErrorInsufficientBuffer;
    out.swap(dir);
    return 0;
}

DWORD PlatformGetFullPathName(LPCWSTR path, CString& out, size_t maxChars) {
    if (path == nullptr || *path == L'\0')
        return kPathErrorInvalidName;
    CString joined = path;
    if (joined[0] != L'/') {
        CString dir;
        DWORD error = CurrentDirectory(dir);
        if (error != 0)
            return error;
        joined = dir + L'/' + joined;
    }
    // Resolve "." and ".." by name, keeping a trailing slash as the input had it.
    std::vector<CString> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find(L'/', start);
        if (end == CString::npos)
            end = joined.size();
        CString part = joined.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    CString full;
    for (const CString& part : parts)
        full += L'/' + part;
    if (full.empty() || joined.back() == L'/')
        full += L'/';
    if (full.size() > maxChars)
        return kPathErrorInsufficientBuffer;
    out.swap(full);
    return 0;
}
