// Unicode conversions that give the same bytes on every platform.
#include "foundation/utf.h"

namespace {

const char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Appends a code point to a wide string in the platform's encoding.
void AppendCodePoint(CString& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

// Reads the code point at text[i] and advances i; unpaired surrogates give U+FFFD.
char32_t NextCodePoint(const CString& text, size_t& i) {
    char32_t c = static_cast<char32_t>(text[i++]);
    if (sizeof(wchar_t) == 2 && IsHighSurrogate(c) && i < text.size() &&
        IsLowSurrogate(static_cast<char32_t>(text[i]))) {
        char32_t low = static_cast<char32_t>(text[i++]);
        return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
    }
    if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF)
        return kReplacement;
    return c;
}

// Length of a valid UTF-8 sequence at bytes[0..avail) and its code point; 0 when invalid.
size_t DecodeUtf8Sequence(const unsigned char* s, size_t avail, char32_t& cp) {
    unsigned char b = s[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    size_t len;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (avail < len)
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (s[k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || IsHighSurrogate(cp) || IsLowSurrogate(cp))
        return 0;
    return len;
}

} // namespace

int WideCharToUtf16(wchar_t c, char16_t out[2]) {
    char32_t cp = static_cast<char32_t>(c);
    if (sizeof(wchar_t) == 2 || cp <= 0xFFFF) {
        out[0] = static_cast<char16_t>(cp);
        return 1;
    }
    if (cp > 0x10FFFF) {
        out[0] = static_cast<char16_t>(kReplacement);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (cp >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    return 2;
}

std::u16string ToUtf16(const CString& text) {
    std::u16string out;
    out.reserve(text.size());
    char16_t units[2];
    for (wchar_t c : text)
        out.append(units, static_cast<size_t>(WideCharToUtf16(c, units)));
    return out;
}

CString FromUtf16(const char16_t* units, size_t count) {
    CString out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char32_t c = units[i];
        if (sizeof(wchar_t) == 4 && IsHighSurrogate(c) && i + 1 < count &&
            IsLowSurrogate(units[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

std::string ToUtf8(const CString& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = NextCodePoint(text, i);
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

CString Utf8ToWide(const char* bytes, size_t length, BOOL latin1Fallback) {
    CString out;
    if (bytes == nullptr)
        return out;
    out.reserve(length);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < length;) {
        char32_t cp = 0;
        size_t len = DecodeUtf8Sequence(s + i, length - i, cp);
        if (len == 0) {
            AppendCodePoint(out, latin1Fallback ? s[i] : kReplacement);
            ++i;
        } else {
            AppendCodePoint(out, cp);
            i += len;
        }
    }
    return out;
}

CString FromUtf8(const std::string& bytes) {
    return Utf8ToWide(bytes.data(), bytes.size(), FALSE);
}
