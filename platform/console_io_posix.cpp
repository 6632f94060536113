// Terminal services on POSIX: isatty, COLORTERM and a SIGINT counter.
#include "platform/console_io.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {
std::atomic<int> g_interrupts{0};

void OnInterrupt(int) {
    g_interrupts.fetch_add(1);
}
} // namespace

void ConsoleInit() {}

void ConsoleWrite(const std::string& utf8, bool toStderr) {
    FILE* stream = toStderr ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

bool ConsoleIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

bool ConsoleSupportsColor() {
    const char* colorTerm = std::getenv("COLORTERM");
    return ConsoleIsTerminal() && colorTerm != nullptr &&
           (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0);
}

void ConsoleInstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int ConsoleInterruptCount() {
    return g_interrupts.load();
}
