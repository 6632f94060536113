// 8-bit code page conversion on POSIX: the system's 8-bit text is UTF-8 and wchar_t is UTF-32.
#include "platform/ansi_text.h"

#include <cstdint>

#include "foundation/utf.h"

bool PlatformWideToAnsi(const CString& text, std::string& out) {
    out.clear();
    // The UTF-8 encoder would put U+FFFD in place of what is not a character; refuse instead.
    for (wchar_t wc : text) {
        const auto c = static_cast<std::uint32_t>(wc);
        if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
    }
    out = ToUtf8(text);
    return true;
}
