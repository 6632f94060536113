// Start-up of the system's socket library, shared by the resolver and the raw ICMP socket.
#pragma once

// Starts the socket library once per process (Winsock 2.2 on Windows; nothing to do on POSIX).
// Idempotent and thread-safe: every caller gets the outcome of the one start-up. The library is
// never shut down, so sockets and lookups stay valid until the process ends. FALSE when the
// start-up failed; the thread's last error then holds the reason.
bool PlatformSocketsInit();
