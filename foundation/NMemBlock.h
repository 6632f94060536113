// NMemBlock: a chain of raw byte blocks that can be flattened into one contiguous block.
#pragma once

#include <cstddef>

#include "foundation/base_types.h"

class NMemBlock {
public:
    NMemBlock() = default;
    NMemBlock(const NMemBlock&) = delete;
    NMemBlock& operator=(const NMemBlock&) = delete;
    virtual ~NMemBlock();

    // Appends a copy of `size` bytes as a new block. Zero bytes append nothing and succeed.
    // FALSE (chain unchanged) when memory ran out or data is null with a non-zero size.
    BOOL Append(const void* data, size_t size);
    // The sum of all block sizes.
    size_t GetSize() const;
    int GetBlockCount() const;
    // All bytes in one contiguous block owned by this object, valid until the next change:
    // nullptr for no block, the only block as it is, or several blocks copied into one that
    // replaces them. When that copy cannot be allocated, nullptr and the blocks are kept.
    const BYTE* Flatten();
    // Frees every block.
    void Clear();

protected:
    // The allocation used for blocks; a seam so tests can make it fail. Memory is released
    // with free().
    virtual void* AllocateBytes(size_t size);

private:
    struct SBlock {
        BYTE* m_pBytes;
        size_t m_nSize;
        SBlock* m_pPrev;
        SBlock* m_pNext;
    };
    // Links a block that owns `bytes`; FALSE (bytes not taken) when the record cannot be made.
    BOOL LinkBlock(BYTE* bytes, size_t size);

    SBlock* m_pFirst = nullptr;
    SBlock* m_pLast = nullptr;
};
