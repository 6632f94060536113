// Socket library start-up on Windows: one WSAStartup for the whole process.
#include "platform/sockets_init.h"

#include <winsock2.h>
#include <windows.h>

bool PlatformSocketsInit() {
    // A function-local static is initialised exactly once even when threads race here, so the
    // resolver and the raw socket may both ask without knowing about each other.
    static const int s_result = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (s_result != 0) {
        ::WSASetLastError(s_result);
        return false;
    }
    return true;
}
