// Parses hopwatch-console's command line from one table of options, with the same value rules as
// the desktop program's.
#include "console/console_options.h"

#include "foundation/blank_set.h"
#include "foundation/numbers.h"
#include "hopwatch_version.h"
#include "settings/command_line_rules.h"

namespace {

enum class EOption {
    Help,
    Version,
    Interval,
    Timeout,
    MaxTtl,
    Dns,
    NoDns,
    Method,
    Count,
    Time,
    Json,
    Csv,
    History,
    Color,
    NoColor,
    Live,
    Html,
    Export,
    Open,
    Icons,
    NoIcons,
    Record,
    NoRecord,
    Replay,
    Timeline,
};

// One option in all its forms. A new option is an entry here and a case in ApplyFlag or
// ApplyValue.
struct SOptionForms {
    EOption id;
    const wchar_t* slash[3]; // slash forms; the first is the one the help shows with the value
    wchar_t shortName;       // 0 = none
    const wchar_t* longName; // without the leading "--"; nullptr = none
    const wchar_t* value;    // the value's name in the help; nullptr = takes no value
    // The value rules and error texts of the options shared with the desktop program.
    ECommandLineOption shared;
    const wchar_t* help; // "\n" continues the text on the next line
};

// clang-format off
const SOptionForms kOptions[] = {
    {EOption::Help, {L"/help", L"/h", L"/?"}, L'h', L"help", nullptr, kCmdOptionHelp,
     L"shows this text"},
    {EOption::Version, {L"/version"}, 0, L"version", nullptr, kCmdOptionNone,
     L"prints the program's version"},
    {EOption::Interval, {L"/int"}, L'i', L"interval", L"ms", kCmdOptionInterval,
     L"ping salvo interval [ms]"},
    {EOption::Timeout, {L"/to"}, L'w', L"timeout", L"ms", kCmdOptionTimeout,
     L"individual ping timeout [ms]"},
    {EOption::MaxTtl, {L"/ttl"}, L'm', L"max-ttl", L"hops", kCmdOptionTtl,
     L"maximum number of hops (1 to 256)"},
    {EOption::Dns, {L"/dns"}, 0, L"dns", nullptr, kCmdOptionDns,
     L"enables reverse host name lookup"},
    {EOption::NoDns, {L"/nodns"}, L'n', L"no-dns", nullptr, kCmdOptionNoDns,
     L"disables reverse host name lookup"},
    {EOption::Method, {L"/method"}, 0, L"method", L"way", kCmdOptionMethod,
     L"auto, raw or system: how probes go out:\nraw = a raw ICMP socket (root or\n"
     L"administrator); system = the way that\nneeds no rights (ICMP datagram sockets\n"
     L"on Linux, the ICMP service on Windows);\nauto (default) = raw where allowed"},
    {EOption::Count, {L"/count"}, L'c', L"count", L"n", kCmdOptionNone,
     L"n probes per hop; then stop and wait\nfor the outstanding probes"},
    {EOption::Time, {L"/time"}, L't', L"time", L"s", kCmdOptionNone,
     L"run length; then stop and wait for the\noutstanding probes (without -c or -t\n"
     L"the run lasts until Ctrl+C)"},
    {EOption::Json, {L"/json"}, L'j', L"json", nullptr, kCmdOptionNone,
     L"prints the run as JSON after it"},
    {EOption::Csv, {L"/csv"}, 0, L"csv", nullptr, kCmdOptionNone,
     L"prints the rows as CSV after the run"},
    {EOption::History, {L"/history"}, 0, L"history", L"n", kCmdOptionNone,
     L"CSV and JSON also hold each row's\nnewest n history values"},
    {EOption::Color, {L"/color"}, 0, L"color", nullptr, kCmdOptionNone,
     L"cell colours on (default: when the\nterminal can show them)"},
    {EOption::NoColor, {L"/nocolor"}, 0, L"no-color", nullptr, kCmdOptionNone,
     L"cell colours off"},
    {EOption::Live, {L"/live"}, 0, L"live", nullptr, kCmdOptionNone,
     L"redraws the table while the run lasts"},
    {EOption::Html, {L"/html"}, 0, L"html", L"file", kCmdOptionNone,
     L"writes the HTML report to the file"},
    {EOption::Export, {L"/export"}, 0, L"export", nullptr, kCmdOptionNone,
     L"writes the HTML report into the\ntemporary directory"},
    {EOption::Open, {L"/open"}, 0, L"open", nullptr, kCmdOptionNone,
     L"exports it and opens it in the default\nweb browser"},
    {EOption::Icons, {L"/icons"}, 0, L"icons", nullptr, kCmdOptionNone,
     L"route-state icons in the HTML report on"},
    {EOption::NoIcons, {L"/noicons"}, 0, L"no-icons", nullptr, kCmdOptionNone,
     L"route-state icons in the report off"},
    {EOption::Record, {L"/record"}, 0, L"record", L"file", kCmdOptionNone,
     L"records the run into the file (without\nit, into a new file of the recordings\n"
     L"folder)"},
    {EOption::NoRecord, {L"/norecord"}, 0, L"no-record", nullptr, kCmdOptionNone,
     L"does not record the run"},
    {EOption::Replay, {L"/replay"}, 0, L"replay", L"file", kCmdOptionNone,
     L"prints a recording as its run printed\nits end (no host; with the output\n"
     L"options of a run)"},
    {EOption::Timeline, {L"/timeline"}, 0, L"timeline", nullptr, kCmdOptionNone,
     L"prints each row's timeline and the\nrun's events after the run"},
};
// clang-format on

// Help layout: the Linux forms, the slash forms, the text.
constexpr size_t kHelpSlashColumn = 23;
constexpr size_t kHelpTextColumn = 38;
// Highest /count: a day of probes at one a second, so that a typo cannot start an endless run.
constexpr DWORD kMaxCount = 86400;
constexpr DWORD kMaxHistory = 4096;

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

bool ParseBounded(const CString& text, DWORD low, DWORD high, DWORD& value) {
    DWORD parsed = 0;
    if (!ParseUnsigned(text.c_str(), &parsed) || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

const SOptionForms* FindSlash(const CString& token) {
    for (const SOptionForms& option : kOptions)
        for (const wchar_t* name : option.slash)
            if (name != nullptr && token == name)
                return &option;
    return nullptr;
}

const SOptionForms* FindShort(wchar_t c) {
    for (const SOptionForms& option : kOptions)
        if (option.shortName != 0 && option.shortName == c)
            return &option;
    return nullptr;
}

const SOptionForms* FindLong(const CString& name) {
    for (const SOptionForms& option : kOptions)
        if (option.longName != nullptr && name == option.longName)
            return &option;
    return nullptr;
}

// Applies an option without a value.
void ApplyFlag(EOption id, SConsoleOptions& options) {
    switch (id) {
    case EOption::Help:
        options.help = true;
        break;
    case EOption::Version:
        options.version = true;
        break;
    case EOption::Dns:
        options.reverseDns = 1;
        break;
    case EOption::NoDns:
        options.reverseDns = 0;
        break;
    case EOption::Json:
        options.json = true;
        break;
    case EOption::Csv:
        options.csv = true;
        break;
    case EOption::Color:
        options.color = 1;
        break;
    case EOption::NoColor:
        options.color = 0;
        break;
    case EOption::Live:
        options.live = true;
        break;
    case EOption::Export:
        options.exportReport = true;
        break;
    case EOption::Open:
        options.openReport = true;
        break;
    case EOption::Icons:
        options.exportIcons = 1;
        break;
    case EOption::NoIcons:
        options.exportIcons = 0;
        break;
    case EOption::NoRecord:
        options.noRecord = true;
        break;
    case EOption::Timeline:
        options.timeline = true;
        break;
    default:
        break;
    }
}

// Applies an option's value; FALSE when the value is bad.
bool ApplyValue(const SOptionForms& option, const CString& value, SConsoleOptions& options) {
    DWORD number = 0;
    switch (option.id) {
    case EOption::Interval:
    case EOption::Timeout:
    case EOption::MaxTtl:
        if (!ParseCommandLineOptionValue(option.shared, value, &number))
            return false;
        (option.id == EOption::Interval  ? options.intervalMs
         : option.id == EOption::Timeout ? options.timeoutMs
                                         : options.maxTtl) = number;
        return true;
    case EOption::Method:
        if (!ParseCommandLineOptionValue(option.shared, value, &number))
            return false;
        options.probeMethod = static_cast<int>(number);
        return true;
    case EOption::Count:
        return ParseBounded(value, 1, kMaxCount, options.count);
    case EOption::Time:
        return ParseSeconds(value, options.runSeconds);
    case EOption::History:
        if (!ParseBounded(value, 0, kMaxHistory, number))
            return false;
        options.historyValues = static_cast<int>(number);
        return true;
    case EOption::Html:
        options.htmlPath = value;
        return !value.empty();
    case EOption::Record:
        options.recordPath = value;
        return !value.empty();
    case EOption::Replay:
        options.replayPath = value;
        return !value.empty();
    default:
        return false;
    }
}

// Reads a command line token by token; one instance per parse.
class CConsoleOptionParser {
public:
    CConsoleOptionParser(int argc, const CString* argv, SConsoleOptions& options,
                         NArray<CString>& errors)
        : m_argc(argc), m_argv(argv), m_options(options), m_errors(errors) {}

    void Run() {
        bool optionsEnded = false;
        for (m_next = 0; m_next < m_argc;) {
            const CString token = TrimBlanks(m_argv[m_next++]);
            if (token.empty())
                continue;
            if (optionsEnded || (token[0] != L'/' && token[0] != L'-'))
                m_options.host = token;
            else if (token == L"--")
                optionsEnded = true;
            else if (token[0] == L'/')
                Slash(token);
            else if (token.size() > 2 && token[1] == L'-')
                Long(token);
            else
                Short(token);
        }
    }

private:
    void Slash(const CString& token) {
        const SOptionForms* option = FindSlash(token);
        if (option == nullptr) // "/save" and "/nostart" belong to the desktop program only
            AddError(m_errors, UnrecognizedCommandLineOptionText(token));
        else
            Use(*option, token, nullptr);
    }

    void Long(const CString& token) {
        const size_t equals = token.find(L'=');
        const CString name = token.substr(2, equals == CString::npos ? CString::npos : equals - 2);
        const SOptionForms* option = FindLong(name);
        if (option == nullptr) {
            AddError(m_errors, UnrecognizedCommandLineOptionText(token));
            return;
        }
        const CString shown = L"--" + name;
        if (equals == CString::npos) {
            Use(*option, shown, nullptr);
        } else if (option->value == nullptr) {
            AddError(m_errors, L"Error: option " + shown + L" takes no value");
        } else {
            const CString value = token.substr(equals + 1);
            Use(*option, shown, &value);
        }
    }

    // A cluster of short options, "-nc 5" or "-nc5": flags up to the first option that takes a
    // value, which takes the rest of the cluster or else the next argument.
    void Short(const CString& token) {
        if (token.size() < 2) {
            AddError(m_errors, UnrecognizedCommandLineOptionText(token));
            return;
        }
        for (size_t i = 1; i < token.size(); ++i) {
            const CString shown = CString(L"-") + token[i];
            const SOptionForms* option = FindShort(token[i]);
            if (option == nullptr) {
                AddError(m_errors, UnrecognizedCommandLineOptionText(shown));
                continue;
            }
            if (option->value != nullptr && i + 1 < token.size()) {
                const CString value = token.substr(i + 1);
                Use(*option, shown, &value);
                return;
            }
            Use(*option, shown, nullptr);
        }
    }

    // Applies the option as typed (shown); a value it needs comes from inlineValue or else the
    // next argument, whatever that looks like: "/int /dns" is a bad interval, not an interval
    // followed by /dns.
    void Use(const SOptionForms& option, const CString& shown, const CString* inlineValue) {
        if (option.value == nullptr) {
            ApplyFlag(option.id, m_options);
            return;
        }
        CString value;
        if (inlineValue != nullptr) {
            value = TrimBlanks(*inlineValue);
        } else if (m_next < m_argc) {
            value = TrimBlanks(m_argv[m_next++]);
        } else {
            AddError(m_errors, L"Error: option " + shown + L" needs a value");
            return;
        }
        if (ApplyValue(option, value, m_options))
            return;
        // The desktop program's options keep its texts in their slash form.
        if (option.shared != kCmdOptionNone && shown[0] == L'/')
            AddError(m_errors, BadCommandLineValueText(option.shared, value));
        else
            AddError(m_errors, L"Error: invalid value \"" + value + L"\" for option " + shown);
    }

    int m_argc;
    const CString* m_argv;
    int m_next = 0;
    SConsoleOptions& m_options;
    NArray<CString>& m_errors;
};

// The help line's text, continued on lines of its own under the text column.
void AppendHelpText(CString& out, const wchar_t* text) {
    for (const wchar_t* c = text; *c != 0; ++c) {
        if (*c == L'\n')
            out += L"\n" + CString(kHelpTextColumn, L' ');
        else
            out += *c;
    }
    out += L'\n';
}

void PadTo(CString& line, size_t column) {
    line += CString(line.size() < column ? column - line.size() : 1, L' ');
}

} // namespace

BOOL ParseConsoleOptions(int argc, const CString* argv, SConsoleOptions& options,
                         NArray<CString>& errors) {
    CConsoleOptionParser(argc, argv, options, errors).Run();
    if (options.csv && options.json)
        AddError(errors, L"Error: --csv and --json exclude each other");
    if (!options.replayPath.empty() && !options.host.empty())
        AddError(errors, L"Error: --replay shows a recording and takes no host");
    if (!options.help && !options.version && options.host.empty() && options.replayPath.empty() &&
        errors.GetSize() == 0)
        AddError(errors, L"Error: no host named");
    return errors.GetSize() == 0 ? TRUE : FALSE;
}

CString ConsoleUsageText() {
    CString out = L"Usage: hopwatch-console [options] <host_or_IP>\n"
                  L"       hopwatch-console --replay <file> [options]\n"
                  L"\n"
                  L"Options (Linux and slash forms alike; -nc 5 is -n -c 5):\n";
    for (const SOptionForms& option : kOptions) {
        const CString value = option.value != nullptr ? L" <" + CString(option.value) + L">" : L"";
        CString line = L"  ";
        line += option.shortName != 0 ? CString(L"-") + option.shortName + L", " : CString(L"    ");
        line += L"--" + CString(option.longName) + value;
        PadTo(line, kHelpSlashColumn);
        line += option.slash[0] + value;
        for (int i = 1; i < 3 && option.slash[i] != nullptr; ++i)
            line += CString(L", ") + option.slash[i];
        PadTo(line, kHelpTextColumn);
        out += line;
        AppendHelpText(out, option.help);
    }
    out += L"\n"
           L"With --json or --csv, standard output carries that document alone; the title\n"
           L"and every message go to standard error.\n"
           L"\n"
           L"Exit status: 0 done; 1 the run could not start or failed (the host did not\n"
           L"resolve, no socket, a report not written), or a recording could not be read;\n"
           L"2 a bad command line; 3 a replayed recording is cut off or damaged (what\n"
           L"comes before is printed).\n";
    return out;
}

CString ConsoleVersionText() {
    return FormatUnsigned(HOPWATCH_VERSION_MAJOR, 10) + L"." +
           FormatUnsigned(HOPWATCH_VERSION_MINOR, 10) + L"." +
           FormatUnsigned(HOPWATCH_VERSION_PATCH, 10);
}
