// System error messages on POSIX: the C library's strerror_r.
#include "platform/error_text.h"

#include <cstring>
#include <cwchar>

namespace {

// strerror_r comes in two shapes: GNU returns the text, XSI fills the buffer and returns 0.
[[maybe_unused]] const char* MessageOf(const char* result, const char*) {
    return result;
}
[[maybe_unused]] const char* MessageOf(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}

// The C library's text in the current locale's multibyte encoding as a wide string; bytes that do
// not decode are taken one by one.
CString Widen(const char* message) {
    std::mbstate_t state{};
    const char* source = message;
    wchar_t wide[256];
    const std::size_t length = std::mbsrtowcs(wide, &source, 255, &state);
    if (length != static_cast<std::size_t>(-1) && source == nullptr)
        return CString(wide, length);
    CString bytes;
    for (const char* p = message; *p != 0; ++p)
        bytes += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return bytes;
}

} // namespace

bool PlatformErrorMessage(DWORD code, CString* text) {
    char buffer[256];
    const char* message =
        MessageOf(strerror_r(static_cast<int>(code), buffer, sizeof(buffer)), buffer);
    // glibc names codes it does not know "Unknown error N"; that is no text of the system's.
    static const char kUnknown[] = "Unknown error";
    if (message == nullptr || *message == 0 ||
        std::strncmp(message, kUnknown, sizeof(kUnknown) - 1) == 0)
        return false;
    *text = Widen(message);
    return true;
}
