// CNTimeStamp: zone conversion, the offset from GMT and the formatter with the program's
// directives.
#include "foundation/CNTimeStamp.h"

#include <cwchar>
#include <ctime>
#include <new>

#include "foundation/numbers.h"
#include "platform/clock_time.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerMinute = 600000000;
constexpr std::int64_t kTicksPerDay = 864000000000;
constexpr std::size_t kFirstFormatBuffer = 4096;
constexpr std::size_t kLastFormatBuffer = 65536;
// Microsoft's wcsftime refuses years after 9999; other runtimes get the same limit so that both
// platforms give the same text.
constexpr WORD kLastFormattableYear = 9999;

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The range SystemTimeToFileTime documents; checked here so that every platform refuses the same.
bool IsValidCalendar(const SCalendarTime& fields) {
    return fields.year >= 1601 && fields.year <= 30827 && fields.month >= 1 && fields.month <= 12 &&
           fields.day >= 1 && fields.day <= DaysInMonth(fields.year, fields.month) &&
           fields.hour <= 23 && fields.minute <= 59 && fields.second <= 59 &&
           fields.milliseconds <= 999;
}

// `value` as exactly `digits` digits of `radix`, zero-padded: the number plus radix^digits is
// converted and its leading 1 dropped. Lower-case letters.
CString FixedDigits(std::uint32_t value, std::uint32_t power, int radix) {
    CString text = FormatUnsigned(value + power, radix);
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text.substr(1);
}

// Replaces every occurrence of `directive` in `text` by `replacement`, left to right.
void ReplaceAll(CString& text, const wchar_t* directive, const CString& replacement) {
    const std::size_t length = std::wcslen(directive);
    for (std::size_t at = text.find(directive); at != CString::npos;
         at = text.find(directive, at + replacement.size()))
        text.replace(at, length, replacement);
}

// The program's own directives in replacement order, each computed only when present.
CString ReplaceOwnDirectives(const CString& format, std::uint64_t value,
                             const SCalendarTime& time) {
    static const wchar_t* const kDirectives[] = {L"%F", L"%u", L"%N", L"%O", L"%o",
                                                 L"%D", L"%h", L"%s", L"%G"};
    const std::int64_t signedValue = static_cast<std::int64_t>(value);
    CString text = format;
    for (const wchar_t* directive : kDirectives) {
        if (text.find(directive) == CString::npos)
            continue;
        CString replacement;
        switch (directive[1]) {
        case L'F':
            replacement = FixedDigits(static_cast<std::uint32_t>(value % 10000000u), 10000000, 10);
            break;
        case L'u':
            replacement =
                FixedDigits(static_cast<std::uint32_t>(value / 10 % 1000000), 1000000, 10);
            break;
        case L'N':
            replacement = FixedDigits(time.milliseconds, 1000, 10);
            break;
        case L'O':
            replacement = FixedDigits(((time.year + 4u) % 64u) << 9 | time.month << 5 | time.day,
                                      0x10000, 16);
            break;
        case L'o':
            replacement =
                FixedDigits(time.hour << 11 | time.minute << 5 | time.second / 2u, 0x10000, 16);
            break;
        case L'D':
            replacement = std::to_wstring(signedValue / kTicksPerDay);
            break;
        case L'h':
            replacement = std::to_wstring(signedValue / kTicksPerSecond / 3600);
            break;
        case L's':
            replacement = std::to_wstring(signedValue / kTicksPerSecond);
            break;
        default:
            replacement = CNTimeStamp::LocalOffsetText();
            break;
        }
        ReplaceAll(text, directive, replacement);
    }
    return text;
}

// Doubles every '%' that does not start a directive all runtimes know, so that it prints as
// itself instead of reaching a runtime that treats unknown directives as fatal.
CString ProtectUnknownDirectives(const CString& text) {
    static const wchar_t kKnown[] = L"aAbBcdHImMpSwxXyYzZ";
    CString result;
    result.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] != L'%')
            continue;
        const std::size_t next = i + 1;
        if (next < text.size() && text[next] == L'%') {
            result += L'%';
            i = next;
            continue;
        }
        const std::size_t letter = next < text.size() && text[next] == L'#' ? next + 1 : next;
        if (letter < text.size() && text[letter] != 0 && std::wcschr(kKnown, text[letter])) {
            result.append(text, next, letter - next + 1);
            i = letter;
        } else {
            result += L'%';
        }
    }
    return result;
}

// wcsftime into a growing buffer; empty when no size up to the last one gives any output.
CString RunWcsftime(const CString& format, const std::tm& fields) {
    for (std::size_t size = kFirstFormatBuffer; size <= kLastFormatBuffer; size *= 2) {
        wchar_t* buffer = new (std::nothrow) wchar_t[size];
        if (buffer == nullptr)
            return CString();
        const std::size_t length = std::wcsftime(buffer, size, format.c_str(), &fields);
        const CString result(buffer, length);
        delete[] buffer;
        if (length != 0)
            return result;
    }
    return CString();
}

} // namespace

CNTimeStamp::CNTimeStamp(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                         WORD milliseconds) {
    const SCalendarTime fields = {year, month, 0, day, hour, minute, second, milliseconds};
    std::uint64_t value = 0;
    if (IsValidCalendar(fields) && PlatformCalendarToCount(fields, &value))
        SetValue(value);
}

CNTimeStamp CNTimeStamp::Now() {
    CNTimeStamp now(PlatformSystemTimeUtc());
    now.ToLocal();
    return now;
}

void CNTimeStamp::ToLocal() {
    std::uint64_t local = 0;
    if (PlatformUtcToLocal(GetValue(), &local))
        SetValue(local);
    else
        SetValue(GetValue() + static_cast<std::uint64_t>(LocalOffsetFromGMT()));
}

std::int64_t CNTimeStamp::LocalOffsetFromGMT() {
    long bias = 0;
    if (!PlatformTimeZoneBias(&bias))
        return 0;
    return -static_cast<std::int64_t>(bias) * kTicksPerMinute;
}

CString CNTimeStamp::LocalOffsetText() {
    long bias = 0;
    if (!PlatformTimeZoneBias(&bias))
        return L"*ERR*";
    const unsigned long magnitude =
        bias < 0 ? 0ul - static_cast<unsigned long>(bias) : static_cast<unsigned long>(bias);
    CString text(1, bias < 0 ? L'+' : L'-');
    text += FormatUnsigned(static_cast<DWORD>(magnitude / 60), 10, 2, L'0');
    text += FormatUnsigned(static_cast<DWORD>(magnitude % 60), 10, 2, L'0');
    return text;
}

CString CNTimeStamp::Format(const CString& format) const {
    if (format.empty())
        return CString();
    const std::uint64_t value = GetValue();
    SCalendarTime time;
    if (!PlatformCountToCalendar(value, &time))
        return L"*** Illegal CNTimeStamp ***";
    const CString replaced = ReplaceOwnDirectives(format, value, time);
    if (time.year > kLastFormattableYear)
        return replaced;

    std::tm fields = {};
    fields.tm_sec = time.second;
    fields.tm_min = time.minute;
    fields.tm_hour = time.hour;
    fields.tm_mday = time.day;
    fields.tm_mon = time.month - 1;
    fields.tm_year = time.year - 1900;
    fields.tm_wday = time.dayOfWeek % 7;
    fields.tm_yday = -1;
    fields.tm_isdst = -1;
    const CString expanded = RunWcsftime(ProtectUnknownDirectives(replaced), fields);
    return expanded.empty() ? replaced : expanded;
}
