// hopwatch-console: runs one test on a host and prints what the route looks like, as a table,
// CSV or JSON.
#include <chrono>
#include <thread>

#include "console/console_options.h"
#include "console/console_replay.h"
#include "console/console_run.h"
#include "foundation/utf.h"
#include "platform/console_io.h"

namespace {

int Main(int argc, const CString* argv) {
    ConsoleInit();
    SConsoleOptions options;
    NArray<CString> errors;
    if (!ParseConsoleOptions(argc, argv, options, errors)) {
        CString text;
        for (int i = 0; i < errors.GetSize(); ++i)
            text += errors[i] + L"\n";
        ConsoleWrite(ToUtf8(text + ConsoleUsageText()), true);
        return kConsoleExitUsage;
    }
    if (options.help) {
        ConsoleWrite(ToUtf8(ConsoleUsageText()));
        return kConsoleExitDone;
    }
    if (options.version) {
        ConsoleWrite(ToUtf8(L"hopwatch-console " + ConsoleVersionText() + L"\n"));
        return kConsoleExitDone;
    }
    return options.replayPath.empty() ? RunConsoleTest(options) : RunConsoleReplay(options);
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    NArray<CString> args;
    args.SetSize(argc > 1 ? argc - 1 : 0);
    for (int i = 1; i < argc; ++i)
        args[i - 1] = argv[i];
    return Main(args.GetSize(), args.GetData());
}
#else
int main(int argc, char** argv) {
    NArray<CString> args;
    args.SetSize(argc > 1 ? argc - 1 : 0);
    for (int i = 1; i < argc; ++i)
        args[i - 1] = FromUtf8(argv[i]);
    return Main(args.GetSize(), args.GetData());
}
#endif
