// Socket library start-up on POSIX: the sockets API needs none.
#include "platform/sockets_init.h"

bool PlatformSocketsInit() {
    return true;
}
