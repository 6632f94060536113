// Parses hopwatch-console's command line with the same value rules as the desktop program's.
#include "console/console_options.h"

#include "foundation/blank_set.h"
#include "foundation/numbers.h"
#include "settings/settings_globals.h"

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

enum class EPending { None, Ttl, Interval, Timeout, Time, History, Html };

} // namespace

BOOL ParseConsoleOptions(int argc, const CString* argv, SConsoleOptions& options,
                         NArray<CString>& errors) {
    EPending pending = EPending::None;
    CString pendingName;
    for (int i = 0; i < argc; ++i) {
        CString token = TrimBlanks(argv[i]);
        if (pending != EPending::None) {
            // The next token is the value whatever it looks like, as in the desktop program:
            // "/int /dns" is a bad interval, not an interval followed by /dns.
            EPending what = pending;
            pending = EPending::None;
            DWORD value = 0;
            bool parsed = ParseUnsigned(token.c_str(), &value) != FALSE;
            bool ok = false;
            switch (what) {
            case EPending::Ttl:
                ok = parsed && value >= kMinMaxTTL && value <= kMaxMaxTTL;
                if (ok)
                    options.maxTtl = value;
                break;
            case EPending::Interval:
                ok = parsed && value >= kMinPingIntervalMS;
                if (ok)
                    options.intervalMs = value;
                break;
            case EPending::Timeout:
                ok = parsed && value >= kMinPingTimeoutMS;
                if (ok)
                    options.timeoutMs = value;
                break;
            case EPending::Time:
                ok = ParseSeconds(token, options.runSeconds);
                break;
            case EPending::History:
                ok = parsed && value <= 4096;
                if (ok)
                    options.historyValues = static_cast<int>(value);
                break;
            case EPending::Html:
                ok = !token.empty();
                if (ok)
                    options.htmlPath = token;
                break;
            case EPending::None:
                break;
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
        if (token == L"/help" || token == L"/h" || token == L"/?")
            options.help = true;
        else if (token == L"/dns")
            options.reverseDns = 1;
        else if (token == L"/nodns")
            options.reverseDns = 0;
        else if (token == L"/csv")
            options.csv = true;
        else if (token == L"/color")
            options.color = 1;
        else if (token == L"/nocolor")
            options.color = 0;
        else if (token == L"/live")
            options.live = true;
        else if (token == L"/export")
            options.exportReport = true;
        else if (token == L"/open")
            options.openReport = true;
        else if (token == L"/icons")
            options.exportIcons = 1;
        else if (token == L"/noicons")
            options.exportIcons = 0;
        else if (token == L"/html")
            pending = EPending::Html;
        else if (token == L"/ttl")
            pending = EPending::Ttl;
        else if (token == L"/int")
            pending = EPending::Interval;
        else if (token == L"/to")
            pending = EPending::Timeout;
        else if (token == L"/time")
            pending = EPending::Time;
        else if (token == L"/history")
            pending = EPending::History;
        else
            AddError(errors, L"Error: unrecognized option \"" + token + L"\"");
        if (pending != EPending::None)
            pendingName = token;
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
           L"/icons, /noicons ......... route-state icons in the HTML report on or off\n";
}
