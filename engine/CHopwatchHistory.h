// CHopwatchHistory: per-hop ring of the most recent probe outcomes, and the NaN marks it records.
#pragma once

#include "foundation/NArray.h"
#include "foundation/base_types.h"

// One probe outcome. An all-zero entry is an empty slot.
struct SHopwatchHistEntry {
    DWORD flags =
        0; // bits 0-15 probe id, bit 29 awaiting reply, bit 30 reply received, bit 31 in use
    double rt = 0.0; // round trip in seconds when bit 30 is set; 0.0 otherwise
};

constexpr DWORD kHistIdMask = 0x0000FFFFu;
constexpr DWORD kHistAwaiting = 0x20000000u;
constexpr DWORD kHistReceived = 0x40000000u;
constexpr DWORD kHistInUse = 0x80000000u;
constexpr int kHistRingSize = 4096;

// Fixed ring of 4,096 outcomes running downwards: a new entry goes to newest - 1, so walking
// upwards from newest visits newest to oldest. Touched only under the data model's lock.
class CHopwatchHistory {
public:
    CHopwatchHistory();
    virtual ~CHopwatchHistory() = default;

    // Records an outcome for probe id (low 16 bits): rt = -NaN for "sent, awaiting", +NaN for
    // "no reply" and a time in seconds for a reply. A sent probe takes a new slot; a reply or
    // time-out replaces the newest entry of the same id if one is in the unbroken run of used
    // entries from the newest, else takes a new slot. A new slot overwrites the oldest entry when
    // the ring is full. Never allocates.
    void Add(DWORD id, const double& rt);
    // The entry that holds id, searched from the newest; nullptr when none.
    SHopwatchHistEntry* Find(DWORD id);
    // Empties the ring in place (keeps its 4,096 slots) and increases the version.
    void Clear();

    DWORD GetVersion() const { return m_version; }
    int GetNewest() const { return m_newest; }
    int GetUsed() const { return m_used; }
    const NArray<SHopwatchHistEntry>& GetEntries() const { return m_entries; }

private:
    DWORD m_version = 1;
    int m_newest = 0;
    int m_used = 0;
    NArray<SHopwatchHistEntry> m_entries;
};

// Whether a double is NaN (exponent all ones, fraction non-zero); negative receives its sign bit.
bool HopwatchIsNaN(double value, bool* negative = nullptr);
// Quiet NaNs with the sign bit set (0xFFF8...) and clear (0x7FF8...).
double HopwatchNegativeNaN();
double HopwatchPositiveNaN();
