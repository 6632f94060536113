// Tests of number parsing and the number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <climits>
#include <clocale>
#include <cstdint>
#include <limits>

#include "foundation/numbers.h"

namespace {

// The parsed value, or the untouched sentinel 0xDEADBEEF when the text is refused.
DWORD Parsed(LPCWSTR text) {
    DWORD value = 0xDEADBEEF;
    if (!ParseUnsigned(text, &value)) {
        EXPECT_EQ(value, 0xDEADBEEFu) << "value changed on failure";
    }
    return value;
}

} // namespace

TEST(ParseUnsigned, AcceptsEveryRadixWithSurroundingBlanks) {
    EXPECT_EQ(Parsed(L"42"), 42u);
    EXPECT_EQ(Parsed(L" 42 "), 42u);
    EXPECT_EQ(Parsed(L"\t42\r\n"), 42u);
    EXPECT_EQ(Parsed(L"0x1F"), 31u);
    EXPECT_EQ(Parsed(L"0X1f"), 31u);
    EXPECT_EQ(Parsed(L"017"), 15u);
    EXPECT_EQ(Parsed(L"0b101"), 5u);
    EXPECT_EQ(Parsed(L"0B11 "), 3u);
    EXPECT_EQ(Parsed(L"0"), 0u);
    EXPECT_EQ(Parsed(L"0x"), 0u);
    EXPECT_EQ(Parsed(L"0b"), 0u);
    EXPECT_EQ(Parsed(L"4294967295"), 4294967295u);
    EXPECT_EQ(Parsed(L"0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(Parsed(L"037777777777"), 0xFFFFFFFFu);
    EXPECT_EQ(Parsed(L"0b11111111111111111111111111111111"), 0xFFFFFFFFu);
}

TEST(ParseUnsigned, RefusesSignsJunkAndOverflowLeavingTheValue) {
    for (LPCWSTR text :
         {L"", L" \t ", L"-1", L"+1", L"4x", L"08", L"012x5", L"0b102", L"0x1G", L"4 2", L"0xx",
          L"0b1x", L"4294967296", L"5000000000", L"0x100000000", L"040000000000",
          L"0b111111111111111111111111111111111", L"99999999999999999999"}) {
        DWORD value = 0xDEADBEEF;
        EXPECT_FALSE(ParseUnsigned(text, &value)) << "accepted: " << testing::PrintToString(text);
        EXPECT_EQ(value, 0xDEADBEEFu);
    }
    DWORD value = 7;
    EXPECT_FALSE(ParseUnsigned(nullptr, &value));
    EXPECT_EQ(value, 7u);
    // The text ends at its NUL: what follows it in memory is never looked at.
    const wchar_t embedded[] = {L'1', L'2', 0, L'x', 0};
    EXPECT_EQ(Parsed(embedded), 12u);
}

TEST(NumberText, FormatsRadixPaddingAndSign) {
    EXPECT_EQ(FormatUnsigned(255, 16), L"FF");
    EXPECT_EQ(FormatUnsigned(255, 16, 8, L'0'), L"000000FF");
    EXPECT_EQ(FormatUnsigned(0xFFFFFFFF, 2), CString(32, L'1'));
    EXPECT_EQ(FormatUnsigned(35, 36), L"Z");
    EXPECT_EQ(FormatUnsigned(5, 1), L"");
    EXPECT_EQ(FormatSigned(-255, 16), L"-FF");
    EXPECT_EQ(FormatSigned(INT32_MIN), L"-2147483648");
    EXPECT_EQ(FormatSigned(INT32_MAX), L"2147483647");
    EXPECT_EQ(FormatSigned(0), L"0");

    EXPECT_EQ(PadText(L"abc", -5, L'*'), L"abc**");
    EXPECT_EQ(PadText(L"abc", 5, L'*'), L"**abc");
    EXPECT_EQ(PadText(L"abcdef", 5, L'*'), L"abcdef");
    // Huge widths, including the one whose magnitude overflows int, stay bounded.
    EXPECT_EQ(PadText(L"x", INT_MIN, L' ').size(), kMaxNumberText);
    EXPECT_EQ(PadText(L"x", INT_MAX, L' ').size(), kMaxNumberText);
    EXPECT_EQ(RepeatChar(L'-', 3), L"---");
    EXPECT_EQ(RepeatChar(L'-', 0), L"");
    EXPECT_EQ(RepeatChar(L'-', UINT_MAX).size(), kMaxNumberText);
}

TEST(NumberText, GroupsTheTrailingDigitRun) {
    EXPECT_EQ(GroupThousands(L"1234567", 0), L"1,234,567");
    EXPECT_EQ(GroupThousands(L"-1234", 0), L"-1,234");
    EXPECT_EQ(GroupThousands(L"123", 5), L"  123");
    EXPECT_EQ(GroupThousands(L"123", -5), L"  123");
    EXPECT_EQ(GroupThousands(L"1234.5", 0), L"1234.5");
    EXPECT_EQ(GroupThousands(L"123456x", 0), L"123456x");
    EXPECT_EQ(GroupThousands(nullptr, 5), L"");
    EXPECT_EQ(FormatUnsignedGrouped(4294967295u), L"4,294,967,295");
    EXPECT_EQ(FormatUnsignedGrouped(999), L"999");

    // Over-long text is not grouped rather than cut or overrun.
    const CString longDigits(4000, L'9');
    EXPECT_EQ(GroupThousands(longDigits.c_str(), 0), longDigits);
    const CString fits(3000, L'9');
    EXPECT_EQ(GroupThousands(fits.c_str(), 0).size(), 3999u);
}

TEST(NumberText, FormatsDoublesWithThreeDecimalsInAnyLocale) {
    EXPECT_EQ(FormatDouble(1.5), L"1.500");
    EXPECT_EQ(FormatDouble(-0.0005), L"-0.001");
    EXPECT_EQ(FormatDouble(2.0005), L"2.001"); // 2.000500000000000078 rounds up
    EXPECT_EQ(FormatDoubleGrouped(1234.5), L"1,234.500");
    EXPECT_EQ(FormatDoubleGrouped(0.25), L"0.250");
    EXPECT_EQ(FormatDoubleGrouped(12), L"12.000");
    EXPECT_EQ(FormatDoubleGrouped(1), L"1.000");
    EXPECT_EQ(FormatDoubleGrouped(1234567.891), L"1,234,567.891");
    EXPECT_EQ(FormatDoubleGrouped(-1234.5), L"-1,234.500");

    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatDouble(infinity), L"inf");
    EXPECT_EQ(FormatDouble(-infinity), L"-inf");
    EXPECT_NE(FormatDouble(std::nan("")).find(L"nan"), CString::npos);
    EXPECT_EQ(FormatDoubleGrouped(infinity), L"  inf");
    EXPECT_EQ(FormatDouble(std::numeric_limits<double>::max()).size(), 313u);

    // A locale with a decimal comma must not leak into the program's numbers.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
        std::setlocale(LC_NUMERIC, "German_Germany.1252") != nullptr) {
        EXPECT_EQ(FormatDouble(1.5), L"1.500");
        std::setlocale(LC_NUMERIC, "C");
    }
}
