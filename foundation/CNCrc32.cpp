// CNCrc32: table-driven reflected CRC-32 (IEEE 802.3) with a process-wide cache of computed tables.
#include "foundation/CNCrc32.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

#include "foundation/utf.h"

namespace {

// What a cache slot keeps of a calculator: enough to copy into a new one.
struct SCrcImage {
    DWORD m_dwPolynomial;
    std::uint32_t m_table[256];
};

struct SCrcSlot {
    SCrcImage* m_pImage;
    int m_nUseCount;
};

// Slots are touched only under the lock; the ready flag changes only by atomic exchange. The
// lock lives for the whole process, so a thread that saw the flag set just before FreeCache
// still takes a valid lock and then finds the cache closed.
struct SCrcTableCache {
    std::mutex m_lock;
    SCrcSlot m_slots[CNCrc32::kCacheSlots] = {};
    std::atomic<long> m_ready{0};
};

SCrcTableCache& Cache() {
    static SCrcTableCache cache; // constructed once, thread-safely, on first use
    return cache;
}

int FindSlot(const SCrcTableCache& cache, DWORD polynomial) {
    for (int i = 0; i < CNCrc32::kCacheSlots; ++i) {
        const SCrcImage* image = cache.m_slots[i].m_pImage;
        if (image != nullptr && image->m_dwPolynomial == polynomial)
            return i;
    }
    return -1;
}

// The first empty slot, or else the first slot with the smallest use counter.
int SlotToFill(const SCrcTableCache& cache) {
    int victim = 0;
    for (int i = 0; i < CNCrc32::kCacheSlots; ++i) {
        const SCrcSlot& slot = cache.m_slots[i];
        if (slot.m_pImage == nullptr)
            return i;
        if (slot.m_nUseCount < cache.m_slots[victim].m_nUseCount)
            victim = i;
    }
    return victim;
}

} // namespace

CNCrc32::CNCrc32(DWORD polynomial) : m_dwPolynomial(polynomial) {
    SCrcTableCache& cache = Cache();
    bool found = false;
    if (cache.m_ready.load() != 0) {
        std::lock_guard<std::mutex> guard(cache.m_lock);
        int slot = cache.m_ready.load() != 0 ? FindSlot(cache, polynomial) : -1;
        if (slot >= 0) {
            ++cache.m_slots[slot].m_nUseCount;
            std::memcpy(m_table, cache.m_slots[slot].m_pImage->m_table, sizeof(m_table));
            found = true;
        }
    }
    if (!found) {
        ComputeTable();
        if (cache.m_ready.load() != 0) {
            SCrcImage* image = new (std::nothrow) SCrcImage;
            if (image != nullptr) {
                image->m_dwPolynomial = polynomial;
                std::memcpy(image->m_table, m_table, sizeof(m_table));
                std::lock_guard<std::mutex> guard(cache.m_lock);
                // Another thread may have stored the same table meanwhile; one copy is enough.
                if (cache.m_ready.load() != 0 && FindSlot(cache, polynomial) < 0) {
                    SCrcSlot& slot = cache.m_slots[SlotToFill(cache)];
                    delete slot.m_pImage;
                    slot.m_pImage = image;
                    slot.m_nUseCount = 0;
                    image = nullptr;
                }
            }
            delete image;
        }
    }
    Reset();
}

void CNCrc32::ComputeTable() {
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) != 0 ? (value >> 1) ^ m_dwPolynomial : value >> 1;
        m_table[i] = value;
    }
}

void CNCrc32::Reset() {
    m_dwRegister = m_dwInitial;
    m_nByteCount = 0;
}

DWORD CNCrc32::Update(const void* data, size_t length) {
    m_nByteCount += length;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    std::uint32_t reg = m_dwRegister;
    for (size_t i = 0; i < length; ++i)
        reg = (reg >> 8) ^ m_table[(reg ^ bytes[i]) & 0xFF];
    m_dwRegister = reg;
    return GetChecksum();
}

DWORD CNCrc32::UpdateString(const CString& text) {
    // Fed through a small stack buffer so checksumming a text allocates nothing.
    BYTE buffer[256];
    size_t used = 0;
    char16_t units[2];
    for (wchar_t c : text) {
        int count = WideCharToUtf16(c, units);
        for (int k = 0; k < count; ++k) {
            buffer[used++] = static_cast<BYTE>(units[k] & 0xFF);
            buffer[used++] = static_cast<BYTE>(units[k] >> 8);
        }
        if (used > sizeof(buffer) - 4) {
            Update(buffer, used);
            used = 0;
        }
    }
    return Update(buffer, used);
}

void CNCrc32::InitCache() {
    SCrcTableCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.m_lock);
    if (cache.m_ready.load() != 0)
        return;
    for (SCrcSlot& slot : cache.m_slots) {
        delete slot.m_pImage;
        slot = SCrcSlot{nullptr, 0};
    }
    cache.m_ready.exchange(1);
}

void CNCrc32::FreeCache() {
    SCrcTableCache& cache = Cache();
    if (cache.m_ready.exchange(0) == 0)
        return;
    std::lock_guard<std::mutex> guard(cache.m_lock);
    for (SCrcSlot& slot : cache.m_slots) {
        delete slot.m_pImage;
        slot = SCrcSlot{nullptr, 0};
    }
}

int CNCrc32::GetCacheFilledSlots() {
    SCrcTableCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.m_lock);
    int filled = 0;
    for (const SCrcSlot& slot : cache.m_slots)
        filled += slot.m_pImage != nullptr ? 1 : 0;
    return filled;
}

int CNCrc32::GetCacheUseCount(int slot) {
    if (slot < 0 || slot >= kCacheSlots)
        return -1;
    SCrcTableCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.m_lock);
    const SCrcSlot& entry = cache.m_slots[slot];
    return entry.m_pImage != nullptr ? entry.m_nUseCount : -1;
}

DWORD CNCrc32::GetCacheSlotPolynomial(int slot) {
    if (slot < 0 || slot >= kCacheSlots)
        return 0;
    SCrcTableCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.m_lock);
    const SCrcSlot& entry = cache.m_slots[slot];
    return entry.m_pImage != nullptr ? entry.m_pImage->m_dwPolynomial : 0;
}
