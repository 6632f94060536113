// Number parsing and formatting: the radix-prefix parser, radix conversion, padding and grouping.
#include "foundation/numbers.h"

#include <algorithm>
#include <charconv>
#include <cwchar>

#include "foundation/blank_set.h"

namespace {

enum class EParseState { Start, Decimal, AfterZero, Octal, Hexadecimal, Binary, Trailing };

// The value of a hexadecimal digit of either case, or -1.
int HexDigitValue(wchar_t c) {
    static const wchar_t kHexDigits[] = L"0123456789ABCDEFabcdef";
    if (c == 0)
        return -1;
    const wchar_t* found = std::wcschr(kHexDigits, c);
    if (found == nullptr)
        return -1;
    const int position = static_cast<int>(found - kHexDigits);
    return position < 16 ? position : position - 6;
}

// Blanks and the terminating NUL both end a digit run.
bool EndsDigits(wchar_t c) {
    return c == 0 || IsBlank(c);
}

// Digits of `value` in `radix`, most significant first; empty for a radix outside 2 to 36.
CString UnsignedDigits(std::uint32_t value, int radix) {
    static const wchar_t kDigits[] = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (radix < 2 || radix > 36)
        return CString();
    wchar_t buffer[33]; // 32 binary digits are the longest form of a 32-bit value
    wchar_t* end = buffer + 33;
    wchar_t* p = end;
    do {
        *--p = kDigits[value % static_cast<std::uint32_t>(radix)];
        value /= static_cast<std::uint32_t>(radix);
    } while (value != 0);
    return CString(p, end);
}

// |width| without the overflow of abs(INT_MIN), capped at the longest text we build.
std::size_t WidthMagnitude(int width) {
    const long long magnitude = width < 0 ? -static_cast<long long>(width) : width;
    return static_cast<std::size_t>(std::min<long long>(magnitude, kMaxNumberText));
}

} // namespace

BOOL ParseUnsigned(LPCWSTR text, DWORD* value) {
    if (text == nullptr || value == nullptr)
        return FALSE;
    std::uint64_t result = 0;
    EParseState state = EParseState::Start;
    for (LPCWSTR p = text;; ++p) {
        const wchar_t c = *p;
        const bool isDecimal = c >= L'0' && c <= L'9';
        const bool isOctal = c >= L'0' && c <= L'7';
        switch (state) {
        case EParseState::Start:
            if (IsBlank(c))
                break;
            if (c == L'0')
                state = EParseState::AfterZero;
            else if (isDecimal) {
                result = static_cast<std::uint64_t>(c - L'0');
                state = EParseState::Decimal;
            } else
                return FALSE;
            break;
        case EParseState::Decimal:
            if (isDecimal) {
                result = result * 10 + static_cast<std::uint64_t>(c - L'0');
                if (result > 0xFFFFFFFFull)
                    return FALSE;
            } else if (EndsDigits(c))
                state = EParseState::Trailing;
            else
                return FALSE;
            break;
        case EParseState::AfterZero:
            if (c == L'x' || c == L'X')
                state = EParseState::Hexadecimal;
            else if (c == L'b' || c == L'B')
                state = EParseState::Binary;
            else if (isOctal) {
                result = static_cast<std::uint64_t>(c - L'0');
                state = EParseState::Octal;
            } else if (EndsDigits(c))
                state = EParseState::Trailing;
            else
                return FALSE;
            break;
        case EParseState::Octal:
            if (isOctal) {
                if (result >= 0x20000000u)
                    return FALSE;
                result = result * 8 + static_cast<std::uint64_t>(c - L'0');
            } else if (EndsDigits(c))
                state = EParseState::Trailing;
            else
                return FALSE;
            break;
        case EParseState::Hexadecimal: {
            const int digit = HexDigitValue(c);
            if (digit >= 0) {
                if (result > 0x0FFFFFFFu)
                    return FALSE;
                result = result * 16 + static_cast<std::uint64_t>(digit);
            } else if (EndsDigits(c))
                state = EParseState::Trailing;
            else
                return FALSE;
            break;
        }
        case EParseState::Binary:
            if (EndsDigits(c))
                state = EParseState::Trailing;
            else if (result & 0x80000000u)
                return FALSE;
            else if (c == L'0' || c == L'1')
                result = result * 2 + static_cast<std::uint64_t>(c - L'0');
            else
                return FALSE;
            break;
        case EParseState::Trailing:
            if (c != 0 && !IsBlank(c))
                return FALSE;
            break;
        }
        // The NUL ends the text: a state that reached trailing on it (or before it) succeeds,
        // and nothing past it is ever read.
        if (c == 0) {
            if (state != EParseState::Trailing)
                return FALSE;
            *value = static_cast<DWORD>(result);
            return TRUE;
        }
    }
}

CString FormatUnsigned(DWORD value, int radix, int width, wchar_t fill) {
    const CString digits = UnsignedDigits(static_cast<std::uint32_t>(value), radix);
    return digits.empty() ? digits : PadText(digits, width, fill);
}

CString FormatSigned(std::int32_t value, int radix) {
    // Negate in unsigned arithmetic so that INT32_MIN keeps its magnitude 2^31.
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    const CString digits = UnsignedDigits(value < 0 ? 0u - bits : bits, radix);
    return (value < 0 && !digits.empty()) ? L"-" + digits : digits;
}

CString PadText(const CString& text, int width, wchar_t fill) {
    const std::size_t length = WidthMagnitude(width);
    if (text.size() >= length)
        return text;
    const CString padding(length - text.size(), fill);
    return width > 0 ? padding + text : text + padding;
}

CString RepeatChar(wchar_t c, unsigned count) {
    return CString(std::min<std::size_t>(count, kMaxNumberText), c);
}

CString GroupThousands(LPCWSTR text, int width) {
    if (text == nullptr)
        return CString();
    const std::size_t length = std::wcslen(text);
    const std::size_t minimum = WidthMagnitude(width);
    if (length < 4 && length >= minimum)
        return text;

    CString reversed;
    reversed.reserve(length + length / 3);
    std::size_t digits = 0;
    bool grouping = true;
    for (std::size_t i = length; i-- > 0;) {
        const wchar_t c = text[i];
        if (grouping && c >= L'0' && c <= L'9') {
            if (digits != 0 && digits % 3 == 0)
                reversed += L',';
            ++digits;
        } else {
            grouping = false;
        }
        reversed += c;
    }
    // Nothing the program formats comes near this; an absurd text stays as it was.
    if (reversed.size() > kMaxNumberText)
        return text;
    std::reverse(reversed.begin(), reversed.end());
    return PadText(reversed, static_cast<int>(minimum), L' ');
}

CString FormatUnsignedGrouped(DWORD value) {
    return GroupThousands(FormatUnsigned(value, 10).c_str(), 0);
}

CString FormatDouble(double value) {
    // to_chars is locale-independent, so the point stays '.' whatever setlocale did. 1.8e308 has
    // 309 integer digits, so 320 characters hold every finite value with three decimals.
    char buffer[320];
    const std::to_chars_result converted =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 3);
    if (converted.ec != std::errc())
        return CString();
    return CString(buffer, converted.ptr);
}

CString FormatDoubleGrouped(double value) {
    const CString text = FormatDouble(value);
    const std::size_t point = text.find(L'.');
    if (point == CString::npos)
        return GroupThousands(text.c_str(), 5);
    const CString integerPart = GroupThousands(text.substr(0, point).c_str(), 0);
    // The fraction groups from the left: reverse, group from the right, reverse back.
    CString fraction = text.substr(point + 1);
    std::reverse(fraction.begin(), fraction.end());
    fraction = GroupThousands(fraction.c_str(), 0);
    std::reverse(fraction.begin(), fraction.end());
    return PadText(integerPart + L"." + fraction, 5, L' ');
}
