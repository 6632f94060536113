// Zeroed memory straight from the system's virtual memory, on Windows: committed virtual pages,
// which get physical memory only when first touched.
#include "platform/page_memory.h"

#include <windows.h>

void* PlatformAllocatePages(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void PlatformFreePages(void* block, std::size_t) {
    if (block != nullptr)
        VirtualFree(block, 0, MEM_RELEASE);
}
