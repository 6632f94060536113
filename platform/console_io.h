// Terminal services for the console front-end: UTF-8 output, terminal detection, Ctrl+C.
#pragma once

#include <string>

// Prepares standard output for UTF-8 text (and escape sequences where the terminal takes them).
void ConsoleInit();
// Writes UTF-8 bytes to standard output or standard error and flushes them.
void ConsoleWrite(const std::string& utf8, bool toStderr = false);
// Standard output is an interactive terminal.
bool ConsoleIsTerminal();
// The terminal shows 24-bit colour escape sequences.
bool ConsoleSupportsColor();
// Counts Ctrl+C presses from now on instead of ending the process.
void ConsoleInstallInterruptHandler();
int ConsoleInterruptCount();
