// NMemBlock: a chain of raw byte blocks that can be flattened into one contiguous block.
#include "foundation/NMemBlock.h"

#include <cstdlib>
#include <cstring>
#include <new>

NMemBlock::~NMemBlock() {
    Clear();
}

void* NMemBlock::AllocateBytes(size_t size) {
    return std::malloc(size);
}

BOOL NMemBlock::LinkBlock(BYTE* bytes, size_t size) {
    SBlock* block = new (std::nothrow) SBlock{bytes, size, m_pLast, nullptr};
    if (block == nullptr)
        return FALSE;
    if (m_pLast != nullptr)
        m_pLast->m_pNext = block;
    else
        m_pFirst = block;
    m_pLast = block;
    return TRUE;
}

BOOL NMemBlock::Append(const void* data, size_t size) {
    if (size == 0)
        return TRUE;
    if (data == nullptr)
        return FALSE;
    BYTE* bytes = static_cast<BYTE*>(AllocateBytes(size));
    if (bytes == nullptr)
        return FALSE;
    std::memcpy(bytes, data, size);
    if (!LinkBlock(bytes, size)) {
        std::free(bytes);
        return FALSE;
    }
    return TRUE;
}

size_t NMemBlock::GetSize() const {
    size_t total = 0;
    for (const SBlock* block = m_pFirst; block != nullptr; block = block->m_pNext)
        total += block->m_nSize;
    return total;
}

int NMemBlock::GetBlockCount() const {
    int count = 0;
    for (const SBlock* block = m_pFirst; block != nullptr; block = block->m_pNext)
        ++count;
    return count;
}

const BYTE* NMemBlock::Flatten() {
    if (m_pFirst == nullptr)
        return nullptr;
    if (m_pFirst == m_pLast)
        return m_pFirst->m_pBytes;
    size_t total = GetSize();
    BYTE* bytes = static_cast<BYTE*>(AllocateBytes(total));
    if (bytes == nullptr)
        return nullptr;
    // The record of the first block is reused for the copy, so nothing else can fail from here.
    size_t offset = 0;
    for (const SBlock* block = m_pFirst; block != nullptr; block = block->m_pNext) {
        std::memcpy(bytes + offset, block->m_pBytes, block->m_nSize);
        offset += block->m_nSize;
    }
    SBlock* keep = m_pFirst;
    m_pFirst = keep->m_pNext;
    Clear();
    std::free(keep->m_pBytes);
    *keep = SBlock{bytes, total, nullptr, nullptr};
    m_pFirst = m_pLast = keep;
    return bytes;
}

void NMemBlock::Clear() {
    while (m_pFirst != nullptr) {
        SBlock* next = m_pFirst->m_pNext;
        std::free(m_pFirst->m_pBytes);
        delete m_pFirst;
        m_pFirst = next;
    }
    m_pLast = nullptr;
}
