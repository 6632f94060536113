// Terminal services on Windows: UTF-8 code page, virtual-terminal colours and a Ctrl+C handler.
#include "platform/console_io.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <io.h>

namespace {
std::atomic<int> g_interrupts{0};
bool g_vtEnabled = false;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        g_interrupts.fetch_add(1);
        return TRUE;
    }
    return FALSE;
}
} // namespace

void ConsoleInit() {
    SetConsoleOutputCP(CP_UTF8);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode))
        g_vtEnabled =
            SetConsoleMode(out, mode | 0x0004 /* ENABLE_VIRTUAL_TERMINAL_PROCESSING */) != 0;
}

void ConsoleWrite(const std::string& utf8, bool toStderr) {
    FILE* stream = toStderr ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

bool ConsoleIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

bool ConsoleSupportsColor() {
    return ConsoleIsTerminal() && g_vtEnabled;
}

void ConsoleInstallInterruptHandler() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

int ConsoleInterruptCount() {
    return g_interrupts.load();
}
