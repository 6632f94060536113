// CNTextBuffer: an append-only text builder in large chunks, assembled into one text on demand.
#include "foundation/CNTextBuffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

CNTextBuffer::SChunk* CNTextBuffer::NewChunk(int chars) {
    long long rounded = (static_cast<long long>(chars) + kChunkChars - 1) / kChunkChars;
    rounded *= kChunkChars;
    if (rounded > INT_MAX - 1)
        return nullptr;
    SChunk* chunk = new (std::nothrow) SChunk{nullptr, static_cast<int>(rounded), 0, nullptr};
    if (chunk == nullptr)
        return nullptr;
    chunk->m_pData = static_cast<wchar_t*>(std::malloc((rounded + 1) * sizeof(wchar_t)));
    if (chunk->m_pData == nullptr) {
        delete chunk;
        return nullptr;
    }
    chunk->m_pData[0] = L'\0';
    return chunk;
}

void CNTextBuffer::Link(SChunk* chunk) {
    if (m_pLast != nullptr)
        m_pLast->m_pNext = chunk;
    else
        m_pFirst = chunk;
    m_pLast = chunk;
}

int CNTextBuffer::FreeInLast() const {
    return m_pLast != nullptr ? m_pLast->m_nCapacity - m_pLast->m_nUsed : 0;
}

void CNTextBuffer::Place(const wchar_t* text, int length, SChunk* spare) {
    int fit = length < FreeInLast() ? length : FreeInLast();
    if (fit > 0) {
        std::memcpy(m_pLast->m_pData + m_pLast->m_nUsed, text, fit * sizeof(wchar_t));
        m_pLast->m_nUsed += fit;
        m_pLast->m_pData[m_pLast->m_nUsed] = L'\0';
    }
    if (fit < length) {
        std::memcpy(spare->m_pData, text + fit, (length - fit) * sizeof(wchar_t));
        spare->m_nUsed = length - fit;
        spare->m_pData[spare->m_nUsed] = L'\0';
        Link(spare);
    }
    m_nLength += length;
}

BOOL CNTextBuffer::Append(LPCWSTR text) {
    if (text == nullptr || *text == L'\0')
        return TRUE;
    size_t length = std::wcslen(text);
    if (length > static_cast<size_t>(INT_MAX - m_nLength))
        return FALSE;
    return Append(const_cast<wchar_t*>(text), static_cast<int>(length), FALSE);
}

BOOL CNTextBuffer::Append(wchar_t* buffer, int length, BOOL takeOver) {
    if (buffer == nullptr || length <= 0 || length > INT_MAX - m_nLength) {
        if (takeOver)
            std::free(buffer);
        return buffer == nullptr || length <= 0 ? TRUE : FALSE;
    }
    if (takeOver && FreeInLast() == 0) {
        // Nothing fits into the last chunk: the buffer itself becomes the next chunk.
        SChunk* chunk = new (std::nothrow) SChunk{buffer, length, length, nullptr};
        if (chunk == nullptr) {
            std::free(buffer);
            return FALSE;
        }
        buffer[length] = L'\0';
        Link(chunk);
        m_nLength += length;
        return TRUE;
    }
    // The spare chunk is made before anything is copied, so a failure leaves the text as it was.
    SChunk* spare = nullptr;
    if (length > FreeInLast()) {
        spare = NewChunk(length - FreeInLast());
        if (spare == nullptr) {
            if (takeOver)
                std::free(buffer);
            return FALSE;
        }
    }
    Place(buffer, length, spare);
    if (takeOver)
        std::free(buffer);
    return TRUE;
}

const wchar_t* CNTextBuffer::GetText() {
    if (m_pFirst == nullptr)
        return L"";
    if (m_pFirst == m_pLast)
        return m_pFirst->m_pData;
    SChunk* whole = NewChunk(m_nLength);
    if (whole == nullptr)
        return nullptr;
    int total = m_nLength;
    for (const SChunk* chunk = m_pFirst; chunk != nullptr; chunk = chunk->m_pNext) {
        std::memcpy(whole->m_pData + whole->m_nUsed, chunk->m_pData,
                    chunk->m_nUsed * sizeof(wchar_t));
        whole->m_nUsed += chunk->m_nUsed;
    }
    whole->m_pData[whole->m_nUsed] = L'\0';
    Clear();
    Link(whole);
    m_nLength = total;
    return whole->m_pData;
}

void CNTextBuffer::Clear() {
    while (m_pFirst != nullptr) {
        SChunk* next = m_pFirst->m_pNext;
        std::free(m_pFirst->m_pData);
        delete m_pFirst;
        m_pFirst = next;
    }
    m_pLast = nullptr;
    m_nLength = 0;
}

int CNTextBuffer::GetChunkCount() const {
    int count = 0;
    for (const SChunk* chunk = m_pFirst; chunk != nullptr; chunk = chunk->m_pNext)
        ++count;
    return count;
}

int CNTextBuffer::GetChunkCapacity(int index) const {
    const SChunk* chunk = m_pFirst;
    for (int i = 0; chunk != nullptr && i < index; ++i)
        chunk = chunk->m_pNext;
    return index >= 0 && chunk != nullptr ? chunk->m_nCapacity : -1;
}
