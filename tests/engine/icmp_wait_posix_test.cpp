// Raw socket wait on POSIX: a signal that lands on the waiting thread is no socket failure.
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <pthread.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/icmp_socket.h"

namespace {
void IgnoreSignal(int) {}
} // namespace

TEST(IcmpWaitPosix, ASignalDuringTheWaitLetsItRunOn) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // Installed without SA_RESTART, as a console's interrupt handler is.
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = IgnoreSignal;
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

    std::atomic<bool> waiting{false};
    int ready = -2;
    DWORD error = 0;
    std::thread waiter([&] {
        waiting.store(true);
        ready = PlatformIcmpWaitReadable(static_cast<PlatformSocket>(fds[0]), 0, 400000, error);
    });
    for (int i = 0; i < 1000 && !waiting.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // well inside the wait
    pthread_kill(waiter.native_handle(), SIGUSR1);
    waiter.join();
    EXPECT_EQ(ready, 0) << "error " << error; // a time-out, not a failure

    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_EQ(PlatformIcmpWaitReadable(static_cast<PlatformSocket>(fds[0]), 1, 0, error), 1);
    sigaction(SIGUSR1, &previous, nullptr);
    close(fds[0]);
    close(fds[1]);
}
