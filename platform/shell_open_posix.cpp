// Opening a file with its default program on POSIX: xdg-open, watched for a few seconds.
#include "platform/shell_open.h"

#include <cerrno>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

#include "foundation/utf.h"
#include "platform/last_error.h"

extern char** environ;

namespace {

// xdg-open hands the file to the desktop and ends; where it falls back to a browser that keeps
// running in front, the program counts as started once this much time has passed.
constexpr int kWaitSteps = 100;
constexpr long kWaitStepNanoseconds = 50L * 1000 * 1000;

DWORD Fail(DWORD code) {
    SetLastSystemError(code);
    return code;
}

} // namespace

DWORD PlatformOpenWithDefaultProgram(const CString& path) {
    std::string file = ToUtf8(path);
    char program[] = "xdg-open";
    char* argv[] = {program, file.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, program, nullptr, nullptr, argv, environ);
    if (spawned != 0)
        return Fail(static_cast<DWORD>(spawned));
    for (int step = 0; step < kWaitSteps; ++step) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return 0;
            // xdg-open: 2 the file is missing, 3 no program found for it; others: it failed.
            const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return Fail(code == 2 || code == 3 ? ENOENT : EIO);
        }
        if (done < 0 && errno != EINTR)
            return Fail(static_cast<DWORD>(errno));
        const timespec pause = {0, kWaitStepNanoseconds};
        nanosleep(&pause, nullptr);
    }
    return 0;
}
