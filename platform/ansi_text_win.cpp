// 8-bit code page conversion on Windows: the ANSI code page through the system converter.
#include "platform/ansi_text.h"

#include <windows.h>

bool PlatformWideToAnsi(const CString& text, std::string& out) {
    out.clear();
    if (text.empty())
        return true;
    if (text.find(L'\0') != CString::npos || text.size() > 0x0FFFFFFF)
        return false;
    // A best-fit or default character would turn the name into a different name; detect it. The
    // UTF-8 code page refuses the default-character query, it reports invalid input instead.
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0,
                                             nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault)
        return false;
    std::string result(static_cast<size_t>(needed), '\0');
    if (::WideCharToMultiByte(CP_ACP, flags, text.data(), length, result.data(), needed, nullptr,
                              usedDefaultOut) != needed ||
        usedDefault)
        return false;
    out.swap(result);
    return true;
}
