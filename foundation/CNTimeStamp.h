// A point in time in 100-ns units since 1601-01-01, and its formatter with sub-second directives.
#pragma once

#include <cstdint>

#include "foundation/base_types.h"

// Local wall-clock time (when made by Now) as a 64-bit count of 100-ns intervals since
// 1601-01-01 00:00, the FILETIME scale. Zero means unset. A plain value: copy it freely; one
// instance is not for concurrent writers.
class CNTimeStamp {
public:
    // The unset stamp (0).
    CNTimeStamp() = default;
    // A stamp holding `value` as it is (no zone conversion).
    explicit CNTimeStamp(std::uint64_t value) { SetValue(value); }
    // The stamp of the given calendar fields (taken as they are, no zone conversion). Fields out
    // of range (month 13, 31 April, years outside 1601 to 30827, ...) give the unset stamp.
    CNTimeStamp(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                WORD milliseconds = 0);

    std::uint64_t GetValue() const { return (static_cast<std::uint64_t>(m_high) << 32) | m_low; }
    void SetValue(std::uint64_t value) {
        m_low = static_cast<DWORD>(value & 0xFFFFFFFFu);
        m_high = static_cast<DWORD>(value >> 32);
    }
    bool IsSet() const { return GetValue() != 0; }

    // The current local time: the system time as UTC passed through ToLocal. Any thread.
    static CNTimeStamp Now();

    // Turns a stamp that holds UTC into local time in place with the system's zone rules; when
    // the system cannot convert it, the current offset from GMT is added instead.
    void ToLocal();

    // The current offset of local time from GMT in 100-ns units, positive east of Greenwich;
    // 0 when the zone cannot be read.
    static std::int64_t LocalOffsetFromGMT();

    // The current zone bias as text: '+' and hhmm east of Greenwich, '-' and hhmm at or west of
    // it (GMT gives "-0000", Central Europe in winter "+0100", New York in winter "-0500");
    // "*ERR*" when the zone cannot be read.
    static CString LocalOffsetText();

    // The stamp as text. First the program's own directives are replaced as plain text, in this
    // order (a doubled percent does not protect them): %F 100-ns fraction (7 digits), %u
    // microseconds (6), %N milliseconds (3), %O packed date word and %o packed time word (4
    // lower-case hex digits), %D days, %h hours and %s seconds since 1601, %G LocalOffsetText.
    // The rest goes through the runtime's wcsftime. Only the directives every runtime knows
    // (%a %A %b %B %c %d %H %I %m %M %p %S %w %x %X %y %Y %z %Z %%, optionally with '#') are
    // handed to it; any other '%' stays literal text, because Microsoft's runtime may end the
    // process on a directive it does not know. When wcsftime gives nothing within 65,536
    // characters, or the year is beyond the runtime's 9999, the text with only the program's
    // own directives replaced is returned. An empty format gives an empty text; a value that
    // cannot be converted to calendar fields (top bit set) gives "*** Illegal CNTimeStamp ***".
    CString Format(const CString& format) const;

    bool operator==(const CNTimeStamp& other) const { return GetValue() == other.GetValue(); }
    bool operator!=(const CNTimeStamp& other) const { return !(*this == other); }

private:
    DWORD m_low = 0;  // low half of the count
    DWORD m_high = 0; // high half of the count
};
