// The command-line options, their value rules and error texts, shared by the program and the
// console.
#pragma once

#include "foundation/base_types.h"

// Options are compared with exact case ("/HELP" is no option).
enum ECommandLineOption {
    kCmdOptionNone,     // not an option: the token does not begin with '/'
    kCmdOptionUnknown,  // begins with '/' but is none of the options below
    kCmdOptionHelp,     // "/help", "/h", "/?"
    kCmdOptionTtl,      // "/ttl <hops>", 1 to 256
    kCmdOptionInterval, // "/int <ms>", above 0
    kCmdOptionTimeout,  // "/to <ms>", above 0
    kCmdOptionDns,      // "/dns"
    kCmdOptionNoDns,    // "/nodns"
    kCmdOptionSave,     // "/save"
    kCmdOptionNoStart,  // "/nostart"
    kCmdOptionMethod,   // "/method auto|raw|system": how probes go out (g_dwProbeMethod)
};

// The option a (trimmed) token names.
ECommandLineOption LookupCommandLineOption(const CString& token);
// TRUE for the options that take the next token as their value.
BOOL CommandLineOptionTakesValue(ECommandLineOption option);
// Parses the value of "/ttl", "/int" or "/to" as an unsigned 32-bit number (blanks around it
// allowed) and checks its range, or the value of "/method" ("auto", "raw" or "system" without
// regard to case, blanks around it allowed) as its setting (kProbeSettingAuto, ...); FALSE
// (value untouched) for a bad value or another option.
BOOL ParseCommandLineOptionValue(ECommandLineOption option, const CString& token, DWORD* value);

// "Error: unrecognized command line option "<token>"".
CString UnrecognizedCommandLineOptionText(const CString& token);
// The error of a bad value for "/ttl", "/int", "/to" or "/method", quoting the token; empty
// otherwise.
CString BadCommandLineValueText(ECommandLineOption option, const CString& token);
// An option that takes a value was the last token.
extern const wchar_t kUnfinishedCommandLineOptionText[];

// The usage text that follows the program's file name in the help and error box, each line
// ending with "\r\n".
extern const wchar_t kCommandLineUsageText[];
