// CNCrc32: table-driven reflected CRC-32 (IEEE 802.3) with a process-wide cache of computed tables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/base_types.h"

// A calculator is private to its user (not shared between threads); constructing one from any
// thread is safe. Tables are computed once per polynomial while the cache holds them.
class CNCrc32 {
public:
    static constexpr DWORD kPolynomial = 0xEDB88320; // reflected form of 0x04C11DB7
    static constexpr int kCacheSlots = 128;

    // Obtains the table for `polynomial` (reflected form) from the cache or computes it, then
    // resets. Never fails: without the cache the table is simply computed.
    explicit CNCrc32(DWORD polynomial = kPolynomial);
    virtual ~CNCrc32() = default;

    // Starts a new checksum: register 0xFFFFFFFF, byte count 0.
    void Reset();
    // Feeds `length` bytes and returns the checksum of everything fed since the last reset, so a
    // value may be fed in pieces. Null data with a zero length is allowed.
    DWORD Update(const void* data, size_t length);
    // Feeds the 4 bytes of the value, least significant first, on every platform.
    DWORD UpdateDword(DWORD value) {
        const BYTE bytes[4] = {
            static_cast<BYTE>(value & 0xFF), static_cast<BYTE>((value >> 8) & 0xFF),
            static_cast<BYTE>((value >> 16) & 0xFF), static_cast<BYTE>(value >> 24)};
        return Update(bytes, sizeof(bytes));
    }
    // Feeds the text as UTF-16LE code units (2 bytes each, no terminator) on every platform.
    DWORD UpdateString(const CString& text);
    // The checksum of everything fed since the last reset (0 when nothing was fed).
    DWORD GetChecksum() const { return m_dwFinalXor ^ m_dwRegister; }
    std::uint64_t GetByteCount() const { return m_nByteCount; }
    DWORD GetPolynomial() const { return m_dwPolynomial; }

    // Sets up the process-wide table cache; called at program start. Idempotent and safe to call
    // from several threads at once.
    static void InitCache();
    // Empties the cache and stops using it; called at program end. Calculators made afterwards
    // compute their own tables until InitCache is called again.
    static void FreeCache();

    // Inspection for tests: filled slots, and a slot's use counter or polynomial (-1 / 0 for an
    // empty slot or an index outside 0..kCacheSlots-1).
    static int GetCacheFilledSlots();
    static int GetCacheUseCount(int slot);
    static DWORD GetCacheSlotPolynomial(int slot);

private:
    void ComputeTable();

    DWORD m_dwPolynomial;
    DWORD m_dwInitial = 0xFFFFFFFF;
    DWORD m_dwFinalXor = 0xFFFFFFFF;
    DWORD m_dwRegister = 0xFFFFFFFF;
    std::uint64_t m_nByteCount = 0;
    std::uint32_t m_table[256];
};
