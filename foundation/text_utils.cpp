// Text functions beside the tokenizer: 8-bit text conversion and path helpers.
#include "foundation/text_utils.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwctype>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace {

// Converts 8-bit text; FALSE for a null text or a failed conversion.
BOOL Convert(UINT codePage, const char* text, int length, CString& out) {
    if (text == nullptr)
        return FALSE;
    size_t bytes = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    if (bytes > INT_MAX)
        return FALSE;
    if (bytes == 0) {
        out.clear();
        return TRUE;
    }
    return PlatformMultiByteToWide(codePage, text, static_cast<int>(bytes), out) ? TRUE : FALSE;
}

BOOL Report(DWORD code, DWORD* error) {
    if (error != nullptr)
        *error = code;
    return code == 0 ? TRUE : FALSE;
}

} // namespace

CString AnsiToString(const char* text) {
    CString out;
    if (!Convert(0, text, -1, out))
        out.clear();
    return out;
}

wchar_t* MultiByteToWideDup(UINT codePage, const char* text, int length) {
    CString out;
    if (!Convert(codePage, text, length, out))
        return nullptr;
    wchar_t* copy = static_cast<wchar_t*>(std::malloc((out.size() + 1) * sizeof(wchar_t)));
    if (copy != nullptr)
        std::memcpy(copy, out.c_str(), (out.size() + 1) * sizeof(wchar_t));
    return copy;
}

CString WithTrailingBackslash(const CString& path) {
    if (path.empty() || path.back() == L'\\')
        return path;
    return path + L'\\';
}

BOOL GetCurrentDir(CString& out, DWORD* error) {
    CString dir;
    DWORD code = PlatformGetCurrentDirectory(dir, kMaxPathChars);
    if (code == 0) {
        if (dir.size() >= 2 && dir[1] == L':' && dir[0] >= L'a' && dir[0] <= L'z')
            dir[0] = static_cast<wchar_t>(dir[0] - L'a' + L'A');
        out.swap(dir);
    }
    return Report(code, error);
}

BOOL GetFullPath(LPCWSTR path, CString& out, DWORD* error) {
    if (path == nullptr || *path == L'\0')
        return Report(kPathErrorInvalidName, error);
    return Report(PlatformGetFullPathName(path, out, kMaxPathChars), error);
}

BOOL EqualNoCase(const CString& a, const CString& b) {
    if (a.size() != b.size())
        return FALSE;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return FALSE;
    return TRUE;
}
