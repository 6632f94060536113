// Number parsing and formatting: the radix-prefix parser, radix conversion, padding and grouping.
#include "foundation/numbers.h"

#include <algorithm>
#include <charconv>
#include <cwchar>

#include "foundation/blank_set.h"

namespace {

// After a leading 0 the next character picks the radix; any other first digit starts decimal.
enum class EParseState { Start, AfterZero, Digits, Trailing };

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

// The value of c as a digit of the radix (2 to 16), or -1.
int DigitValue(wchar_t c, unsigned radix) {
    const int digit = HexDigitValue(c);
    return digit < static_cast<int>(radix) ? digit : -1;
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
    unsigned radix = 10;
    EParseState state = EParseState::Start;
    for (LPCWSTR p = text;; ++p) {
        const wchar_t c = *p;
        switch (state) {
        case EParseState::Start:
            if (IsBlank(c))
                break;
            if (c == L'0') {
                state = EParseState::AfterZero;
                break;
            }
            if (DigitValue(c, 10) < 0)
                return FALSE;
            result = static_cast<unsigned>(DigitValue(c, 10));
            state = EParseState::Digits;
            break;
        case EParseState::AfterZero:
            if (c == L'x' || c == L'X')
                radix = 16;
            else if (c == L'b' || c == L'B')
                radix = 2;
            else if (DigitValue(c, 8) >= 0) {
                radix = 8;
                result = static_cast<unsigned>(DigitValue(c, 8));
            } else if (EndsDigits(c)) {
                state = EParseState::Trailing;
                break;
            } else
                return FALSE;
            state = EParseState::Digits;
            break;
        case EParseState::Digits: {
            const int digit = DigitValue(c, radix);
            if (digit >= 0) {
                // At most 0xFFFFFFFF * 16 + 15 before the check, so the 64-bit value never wraps.
                result = result * radix + static_cast<unsigned>(digit);
                if (result > 0xFFFFFFFFull)
                    return FALSE;
            } else if (EndsDigits(c))
                state = EParseState::Trailing;
            else
                return FALSE;
            break;
        }
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
