// The command-line options, their value rules and error texts, shared by the program and the
// console.
#include "settings/command_line_rules.h"

#include "foundation/blank_set.h"
#include "foundation/numbers.h"
#include "foundation/text_utils.h"
#include "settings/settings_globals.h"

const wchar_t kUnfinishedCommandLineOptionText[] = L"Error: unfinished command line option";

// The texts as the program has always shown them, spellings included.
const wchar_t kCommandLineUsageText[] =
    L" <options> <host_or_IP> [</save>] [</nostart>]\r\n"
    L"\r\n"
    L"Options:\r\n"
    L"/help .................... invokes this dialog\r\n"
    L"/int <interval> .......... ping salvo interval [ms]\r\n"
    L"/to <interval> ........... individual ping timeout [ms]\r\n"
    L"/ttl <hops> .............. maximum number of hops\r\n"
    L"/dns ..................... enables reverse host name lookup\r\n"
    L"/nodns ................... disbles reverse host name lookup\r\n"
    L"/save .................... stores these new options in registry\r\n"
    L"/nostart ................. does not auto-start pingin the host\r\n";

namespace {

struct SOptionName {
    const wchar_t* m_name;
    ECommandLineOption m_option;
};

const SOptionName kOptionNames[] = {
    {L"/help", kCmdOptionHelp},       {L"/h", kCmdOptionHelp},        {L"/?", kCmdOptionHelp},
    {L"/ttl", kCmdOptionTtl},         {L"/int", kCmdOptionInterval},  {L"/to", kCmdOptionTimeout},
    {L"/dns", kCmdOptionDns},         {L"/nodns", kCmdOptionNoDns},   {L"/save", kCmdOptionSave},
    {L"/nostart", kCmdOptionNoStart}, {L"/method", kCmdOptionMethod},
};

// The values of "/method", by setting.
const wchar_t* const kProbeMethodValues[] = {L"auto", L"raw", L"system"};

CString Quoted(const CString& token) {
    return L"\"" + token + L"\"";
}

} // namespace

ECommandLineOption LookupCommandLineOption(const CString& token) {
    if (token.empty() || token[0] != L'/')
        return kCmdOptionNone;
    for (const SOptionName& entry : kOptionNames)
        if (token == entry.m_name)
            return entry.m_option;
    return kCmdOptionUnknown;
}

BOOL CommandLineOptionTakesValue(ECommandLineOption option) {
    return option == kCmdOptionTtl || option == kCmdOptionInterval || option == kCmdOptionTimeout ||
           option == kCmdOptionMethod;
}

BOOL ParseCommandLineOptionValue(ECommandLineOption option, const CString& token, DWORD* value) {
    if (option == kCmdOptionMethod) {
        const CString name = TrimBlanks(token);
        for (DWORD setting = 0; setting < 3; ++setting) {
            if (value != nullptr && EqualNoCase(name, kProbeMethodValues[setting])) {
                *value = setting;
                return TRUE;
            }
        }
        return FALSE;
    }
    DWORD parsed = 0;
    if (value == nullptr || !ParseUnsigned(token.c_str(), &parsed))
        return FALSE;
    bool ok = false;
    switch (option) {
    case kCmdOptionTtl:
        ok = parsed >= kMinMaxTTL && parsed <= kMaxMaxTTL;
        break;
    case kCmdOptionInterval:
        ok = parsed >= kMinPingIntervalMS;
        break;
    case kCmdOptionTimeout:
        ok = parsed >= kMinPingTimeoutMS;
        break;
    default:
        break;
    }
    if (ok)
        *value = parsed;
    return ok ? TRUE : FALSE;
}

CString UnrecognizedCommandLineOptionText(const CString& token) {
    return L"Error: unrecognized command line option " + Quoted(token);
}

CString BadCommandLineValueText(ECommandLineOption option, const CString& token) {
    switch (option) {
    case kCmdOptionTtl:
        return L"Error: invalid command line TTL value " + Quoted(token);
    case kCmdOptionInterval:
        return L"Error: invalid command line ping interval (/int) value " + Quoted(token);
    case kCmdOptionTimeout:
        return L"Error: invalid command line ping timeout (/to) value " + Quoted(token);
    case kCmdOptionMethod:
        return L"Error: invalid command line probe method (/method) value " + Quoted(token);
    default:
        return CString();
    }
}
