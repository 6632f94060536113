// 8-bit code page conversion on POSIX: the system's 8-bit text is UTF-8 and wchar_t is UTF-32.
#include "platform/ansi_text.h"

bool PlatformWideToAnsi(const CString& text, std::string& out) {
    out.clear();
    std::string result;
    result.reserve(text.size());
    for (wchar_t wc : text) {
        const auto c = static_cast<std::uint32_t>(wc);
        if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else if (c < 0x800) {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            result += static_cast<char>(0xE0 | (c >> 12));
            result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (c >> 18));
            result += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.swap(result);
    return true;
}

CString PlatformAnsiToWide(const std::string& text) {
    CString result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t c = 0;
        size_t extra = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            c = lead & 0x1F;
            extra = 1;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            c = lead & 0x0F;
            extra = 2;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            c = lead & 0x07;
            extra = 3;
            minimum = 0x10000;
        } else {
            return CString();
        }
        if (text.size() - i <= extra)
            return CString();
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return CString();
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are not text; reject them like the Windows converter does.
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return CString();
        result += static_cast<wchar_t>(c);
        i += extra + 1;
    }
    return result;
}
