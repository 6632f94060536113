// Zeroed memory straight from the system's virtual memory, on POSIX: anonymous mappings.
#include "platform/page_memory.h"

#include <sys/mman.h>

void* PlatformAllocatePages(std::size_t bytes) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block != MAP_FAILED ? block : nullptr;
}

void PlatformFreePages(void* block, std::size_t bytes) {
    if (block != nullptr)
        munmap(block, bytes);
}
