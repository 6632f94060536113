// The byte forms of the recording format: little-endian numbers, varints and UTF-8 texts.
#include "recording/recording_bytes.h"

#include <string>

#include "foundation/utf.h"

void CRecordingBytesOut::U32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

void CRecordingBytesOut::U64(std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

void CRecordingBytesOut::Varint(std::uint64_t value) {
    while (value >= 0x80) {
        m_bytes.push_back(static_cast<BYTE>(value | 0x80));
        value >>= 7;
    }
    m_bytes.push_back(static_cast<BYTE>(value));
}

void CRecordingBytesOut::Signed(std::int64_t value) {
    const std::uint64_t bits = static_cast<std::uint64_t>(value);
    Varint(value < 0 ? ~(bits << 1) : bits << 1);
}

void CRecordingBytesOut::Text(const CString& text) {
    const std::string bytes = ToUtf8(text);
    Varint(bytes.size());
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

BYTE CRecordingBytesIn::Byte() {
    if (m_left == 0) {
        MarkBad();
        return 0;
    }
    --m_left;
    return *m_data++;
}

std::uint32_t CRecordingBytesIn::U32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return m_good ? value : 0;
}

std::uint64_t CRecordingBytesIn::U64() {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
    return m_good ? value : 0;
}

std::uint64_t CRecordingBytesIn::Varint() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const BYTE byte = Byte();
        if (!m_good)
            return 0;
        // The tenth byte may carry only the top bit of the value.
        if (shift == 63 && byte > 1)
            break;
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
    MarkBad();
    return 0;
}

std::int64_t CRecordingBytesIn::Signed() {
    const std::uint64_t bits = Varint();
    return static_cast<std::int64_t>((bits & 1) != 0 ? ~(bits >> 1) : bits >> 1);
}

CString CRecordingBytesIn::Text(std::size_t maxBytes) {
    const std::uint64_t length = Varint();
    if (!m_good || length > maxBytes || length > m_left) {
        MarkBad();
        return CString();
    }
    const CString text =
        Utf8ToWide(reinterpret_cast<const char*>(m_data), static_cast<std::size_t>(length), FALSE);
    Skip(static_cast<std::size_t>(length));
    return text;
}

void CRecordingBytesIn::Skip(std::size_t count) {
    if (count > m_left) {
        MarkBad();
        return;
    }
    m_data += count;
    m_left -= count;
}
