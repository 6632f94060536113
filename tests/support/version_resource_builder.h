// Builds version-resource blocks as bytes, for tests and fuzz seeds of the version reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<unsigned char> BlockBytes;

inline void PutU16(BlockBytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

inline void PadTo4(BlockBytes& out) {
    while (out.size() % 4 != 0)
        out.push_back(0);
}

// One block: header, key, padding, value, padding, children (each already a whole block).
// valueLength is as stored: characters for text (type 1), bytes for binary (type 0).
inline BlockBytes VersionBlock(const std::u16string& key, unsigned type, const BlockBytes& value,
                               unsigned valueLength, const std::vector<BlockBytes>& children = {}) {
    BlockBytes out;
    PutU16(out, 0); // length, filled in below
    PutU16(out, valueLength);
    PutU16(out, type);
    for (char16_t c : key)
        PutU16(out, c);
    PutU16(out, 0);
    PadTo4(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const BlockBytes& child : children) {
        PadTo4(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    out[0] = static_cast<unsigned char>(out.size() & 0xFF);
    out[1] = static_cast<unsigned char>(out.size() >> 8);
    return out;
}

// A text value block: the text and its NUL, the length counted in characters.
inline BlockBytes VersionString(const std::u16string& key, const std::u16string& text) {
    BlockBytes value;
    for (char16_t c : text)
        PutU16(value, c);
    PutU16(value, 0);
    return VersionBlock(key, 1, value, static_cast<unsigned>(text.size() + 1));
}

// The 52-byte fixed information with product version a.b.c.d, file flags and file date.
inline BlockBytes FixedFileInfo(unsigned a, unsigned b, unsigned c, unsigned d, unsigned flags,
                                std::uint64_t date) {
    const std::uint32_t words[13] = {0xFEEF04BD,
                                     0x00010000,
                                     (a << 16) | b,
                                     (c << 16) | d,
                                     (a << 16) | b,
                                     (c << 16) | d,
                                     0x3F,
                                     flags,
                                     0x40004,
                                     1,
                                     0,
                                     static_cast<std::uint32_t>(date >> 32),
                                     static_cast<std::uint32_t>(date & 0xFFFFFFFF)};
    BlockBytes out;
    for (std::uint32_t w : words) {
        PutU16(out, w & 0xFFFF);
        PutU16(out, w >> 16);
    }
    return out;
}

// A whole resource with one string table of the given language key ("040904b0").
inline BlockBytes VersionResource(const std::u16string& language,
                                  const std::vector<BlockBytes>& strings, unsigned flags = 0,
                                  std::uint64_t date = 0) {
    BlockBytes table = VersionBlock(language, 1, {}, 0, strings);
    BlockBytes stringInfo = VersionBlock(u"StringFileInfo", 1, {}, 0, {table});
    BlockBytes translation = VersionBlock(u"Translation", 0, {0x09, 0x04, 0xB0, 0x04}, 4);
    BlockBytes varInfo = VersionBlock(u"VarFileInfo", 1, {}, 0, {translation});
    return VersionBlock(u"VS_VERSION_INFO", 0, FixedFileInfo(1, 5, 19, 0, flags, date), 52,
                        {stringInfo, varInfo});
}
