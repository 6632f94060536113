// Parses hopwatch-console's command line with the same value rules as the desktop program's.
#include "console/console_options.h"

#include "foundation/blank_set.h"
#include "foundation/numbers.h"
#include "settings/command_line_rules.h"

namespace {

void AddError(NArray<CString>& errors, const CString& text) {
    int n = errors.GetSize();
    if (errors.SetSize(n + 1))
        errors[n] = text;
}

// A run length in seconds: digits with an optional fraction ("5", "0.5"), above 0 and at most a
// day, so a typo cannot start a run that never ends by itself.
bool ParseSeconds(const CString& text, double& seconds) {
    if (text.empty())
        return false;
    double value = 0.0;
    double scale = 0.0;
    for (wchar_t c : text) {
        if (c == L'.' && scale == 0.0) {
            scale = 1.0;
        } else if (c >= L'0' && c <= L'9') {
            if (scale == 0.0) {
                value = value * 10.0 + (c - L'0');
            } else {
                scale /= 10.0;
                value += (c - L'0') * scale;
            }
            if (value > 86400.0)
                return false;
        } else {
            return false;
        }
    }
    if (value <= 0.0)
        return false;
    seconds = value;
    return true;
}

// A value the next token supplies: one of the options shared with the desktop program (their
// rules and texts come from command_line_rules) or one of the console's own.
enum class EPending { None, Shared, Time, History, Html };

} // namespace

BOOL ParseConsoleOptions(int argc, const CString* argv, SConsoleOptions& options,
                         NArray<CString>& errors) {
    EPending pending = EPending::None;
    ECommandLineOption pendingShared = kCmdOptionNone;
    CString pendingName;
    for (int i = 0; i < argc; ++i) {
        CString token = TrimBlanks(argv[i]);
        if (pending != EPending::None) {
            // The next token is the value whatever it looks like, as in the desktop program:
            // "/int /dns" is a bad interval, not an interval followed by /dns.
            EPending what = pending;
            pending = EPending::None;
            DWORD value = 0;
            if (what == EPending::Shared) {
                if (!ParseCommandLineOptionValue(pendingShared, token, &value))
                    AddError(errors, BadCommandLineValueText(pendingShared, token));
                else if (pendingShared == kCmdOptionTtl)
                    options.maxTtl = value;
                else if (pendingShared == kCmdOptionInterval)
                    options.intervalMs = value;
                else
                    options.timeoutMs = value;
                continue;
            }
            bool ok = false;
            if (what == EPending::Html) {
                ok = !token.empty();
                options.htmlPath = token;
            } else if (what == EPending::Time) {
                ok = ParseSeconds(token, options.runSeconds);
            } else {
                ok = ParseUnsigned(token.c_str(), &value) != FALSE && value <= 4096;
                if (ok)
                    options.historyValues = static_cast<int>(value);
            }
            if (!ok)
                AddError(errors,
                         L"Error: invalid value \"" + token + L"\" for option " + pendingName);
            continue;
        }
        if (token.empty())
            continue;
        if (token[0] != L'/') {
            options.host = token;
            continue;
        }
        pendingName = token;
        // The console's own options first, then those it shares with the desktop program.
        if (token == L"/csv") {
            options.csv = true;
        } else if (token == L"/color") {
            options.color = 1;
        } else if (token == L"/nocolor") {
            options.color = 0;
        } else if (token == L"/live") {
            options.live = true;
        } else if (token == L"/export") {
            options.exportReport = true;
        } else if (token == L"/open") {
            options.openReport = true;
        } else if (token == L"/icons") {
            options.exportIcons = 1;
        } else if (token == L"/noicons") {
            options.exportIcons = 0;
        } else if (token == L"/timeline") {
            options.timeline = true;
        } else if (token == L"/html") {
            pending = EPending::Html;
        } else if (token == L"/time") {
            pending = EPending::Time;
        } else if (token == L"/history") {
            pending = EPending::History;
        } else {
            ECommandLineOption option = LookupCommandLineOption(token);
            if (option == kCmdOptionHelp)
                options.help = true;
            else if (option == kCmdOptionDns)
                options.reverseDns = 1;
            else if (option == kCmdOptionNoDns)
                options.reverseDns = 0;
            else if (CommandLineOptionTakesValue(option))
                pendingShared = option;
            else // "/save" and "/nostart" belong to the desktop program's settings and window
                AddError(errors, UnrecognizedCommandLineOptionText(token));
            if (CommandLineOptionTakesValue(option))
                pending = EPending::Shared;
        }
    }
    if (pending != EPending::None)
        AddError(errors, L"Error: option " + pendingName + L" needs a value");
    if (!options.help && options.host.empty() && errors.GetSize() == 0)
        AddError(errors, L"Error: no host named");
    return errors.GetSize() == 0 ? TRUE : FALSE;
}

CString ConsoleUsageText() {
    return L"Usage: hopwatch-console [options] <host_or_IP>\n"
           L"\n"
           L"Options:\n"
           L"/help .................... shows this text\n"
           L"/int <interval> .......... ping salvo interval [ms]\n"
           L"/to <interval> ........... individual ping timeout [ms]\n"
           L"/ttl <hops> .............. maximum number of hops (1 to 256)\n"
           L"/dns ..................... enables reverse host name lookup\n"
           L"/nodns ................... disables reverse host name lookup\n"
           L"/time <seconds> .......... run length; then stop and wait for outstanding probes\n"
           L"                           (without it the run lasts until Ctrl+C)\n"
           L"/csv ..................... prints the rows as CSV after the run\n"
           L"/history <n> ............. also prints each row's newest n history values\n"
           L"/color, /nocolor ......... cell colours on or off (default: when the terminal can)\n"
           L"/live .................... redraws the table while the run lasts\n"
           L"/html <file> ............. writes the HTML report to the file after the run\n"
           L"/export .................. writes the HTML report into the temporary directory\n"
           L"/open .................... exports it and opens it in the default web browser\n"
           L"/icons, /noicons ......... route-state icons in the HTML report on or off\n"
           L"/timeline ................ prints each row's timeline and the run's events after it\n";
}
