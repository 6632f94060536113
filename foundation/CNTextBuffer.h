// CNTextBuffer: an append-only text builder in large chunks, assembled into one text on demand.
#pragma once

#include "foundation/base_types.h"

// Long texts (the report, the About box) are built by appending; each append copies only the new
// text and the whole is joined once, when GetText asks for it. One thread at a time.
class CNTextBuffer {
public:
    static constexpr int kChunkChars = 65536; // chunk capacities are multiples of this

    CNTextBuffer() = default;
    explicit CNTextBuffer(LPCWSTR text) { Append(text); }
    CNTextBuffer(const CNTextBuffer&) = delete;
    CNTextBuffer& operator=(const CNTextBuffer&) = delete;
    virtual ~CNTextBuffer() { Clear(); }

    // Appends a copy of a NUL-terminated text; null or empty does nothing. FALSE (buffer
    // unchanged) when memory ran out or the total would pass INT_MAX characters.
    BOOL Append(LPCWSTR text);
    // Appends `length` characters of `buffer`. With takeOver the buffer must come from malloc
    // with room for length + 1 characters; the text buffer then owns it in every outcome (it
    // becomes a chunk of its own when nothing fits into the last chunk, else it is copied and
    // freed) and may write a NUL at buffer[length]. FALSE as for Append.
    BOOL Append(wchar_t* buffer, int length, BOOL takeOver);
    // The whole text, NUL-terminated, valid until the next change. Several chunks are first
    // joined into one; nullptr (nothing changed) when memory for that ran out.
    const wchar_t* GetText();
    // Frees everything.
    void Clear();

    int GetLength() const { return m_nLength; }
    // Inspection for tests: number of chunks and a chunk's capacity (-1 outside the chain).
    int GetChunkCount() const;
    int GetChunkCapacity(int index) const;

private:
    struct SChunk {
        wchar_t* m_pData; // capacity + 1 characters, NUL-terminated after the used part
        int m_nCapacity;
        int m_nUsed;
        SChunk* m_pNext;
    };
    // A new chunk for at least `chars` characters, not yet linked; nullptr when out of memory.
    static SChunk* NewChunk(int chars);
    void Link(SChunk* chunk);
    int FreeInLast() const;
    // Copies what fits into the last chunk and the rest into `spare` (linked when used).
    void Place(const wchar_t* text, int length, SChunk* spare);

    SChunk* m_pFirst = nullptr;
    SChunk* m_pLast = nullptr;
    int m_nLength = 0;
};
