// hopwatch-console and the desktop program read their common options by the same rules and texts.
#include <gtest/gtest.h>

#include "console/console_options.h"
#include "settings/command_line_rules.h"

namespace {

NArray<CString> Errors(std::initializer_list<const wchar_t*> args) {
    NArray<CString> argv;
    argv.SetSize(static_cast<int>(args.size()));
    int i = 0;
    for (const wchar_t* a : args)
        argv[i++] = a;
    SConsoleOptions options;
    NArray<CString> errors;
    ParseConsoleOptions(argv.GetSize(), argv.GetData(), options, errors);
    return errors;
}

} // namespace

TEST(ConsoleSharedOptions, BadValuesAndUnknownOptionsReadAsInTheDesktopProgram) {
    struct {
        const wchar_t* option;
        const wchar_t* value;
        ECommandLineOption shared;
    } cases[] = {{L"/ttl", L"257", kCmdOptionTtl},
                 {L"/int", L"/dns", kCmdOptionInterval},
                 {L"/to", L"0", kCmdOptionTimeout}};
    for (const auto& c : cases) {
        NArray<CString> errors = Errors({c.option, c.value, L"h"});
        ASSERT_EQ(errors.GetSize(), 1) << c.option;
        EXPECT_EQ(errors[0], BadCommandLineValueText(c.shared, c.value));
    }
    // The desktop program's own options are no console options.
    for (const wchar_t* own : {L"/save", L"/nostart", L"/HELP"}) {
        NArray<CString> errors = Errors({own, L"h"});
        ASSERT_EQ(errors.GetSize(), 1) << own;
        EXPECT_EQ(errors[0], UnrecognizedCommandLineOptionText(own));
    }
    EXPECT_EQ(
        Errors({L"/ttl", L"256", L"/int", L"1", L"/to", L"1", L"/dns", L"/nodns", L"h"}).GetSize(),
        0);
}
