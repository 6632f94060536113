// The byte forms of the recording format: little-endian numbers, varints and UTF-8 texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/base_types.h"

// Appends to a byte vector. Appending within the vector's capacity never allocates, so the
// writer reserves room once and encodes probe outcomes without allocating.
class CRecordingBytesOut {
public:
    explicit CRecordingBytesOut(std::vector<BYTE>& bytes) : m_bytes(bytes) {}

    void Byte(BYTE value) { m_bytes.push_back(value); }
    void U32(std::uint32_t value);
    void U64(std::uint64_t value);
    // 7 bits per byte, least significant group first, the top bit set on all but the last.
    void Varint(std::uint64_t value);
    // A signed value as a varint: 0, -1, 1, -2, ... become 0, 1, 2, 3, ...
    void Signed(std::int64_t value);
    // The length in bytes as a varint, then the UTF-8 bytes.
    void Text(const CString& text);

private:
    std::vector<BYTE>& m_bytes;
};

// Reads from a span of bytes. A read past the end or a malformed value makes the reader bad: it
// then gives zeros and stays bad, so a decoder checks IsGood once at the end of a record.
class CRecordingBytesIn {
public:
    CRecordingBytesIn(const BYTE* data, std::size_t size) : m_data(data), m_left(size) {}

    BYTE Byte();
    std::uint32_t U32();
    std::uint64_t U64();
    std::uint64_t Varint();
    std::int64_t Signed();
    // A text of at most maxBytes UTF-8 bytes (longer ones make the reader bad).
    CString Text(std::size_t maxBytes = 4096);
    // Skips count bytes.
    void Skip(std::size_t count);

    bool IsGood() const { return m_good; }
    bool AtEnd() const { return m_left == 0; }
    std::size_t GetLeft() const { return m_left; }
    const BYTE* GetPosition() const { return m_data; }
    void MarkBad() {
        m_good = false;
        m_left = 0;
    }

private:
    const BYTE* m_data;
    std::size_t m_left;
    bool m_good = true;
};
