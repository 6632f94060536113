// Zeroed memory straight from the system's virtual memory, for large blocks that may never be used.
#pragma once

#include <cstddef>

// Allocates bytes of zeroed, readable and writable memory in whole pages. Pages the program never
// touches take no physical memory (they stay out of the resident set), which a general heap
// cannot promise for blocks below its own large-block threshold. nullptr when the system has no
// memory to give. Any thread.
void* PlatformAllocatePages(std::size_t bytes);
// Returns a block from PlatformAllocatePages; bytes is the size it was allocated with.
void PlatformFreePages(void* block, std::size_t bytes);
