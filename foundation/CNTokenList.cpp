// CNTokenList: the program's list of strings and its tokenizer (separators, command lines, lines).
#include "foundation/CNTokenList.h"

#include <cstddef>
#include <cwchar>
#include <string_view>

#include "foundation/blank_set.h"

namespace {

// One separator while splitting and the cached position of its next occurrence (-1 before the
// first search). A position at or after the current one is still valid, because the search that
// found it began at or before the current position.
struct SNTokenSepEntry {
    CString m_strSep;
    std::ptrdiff_t m_nPos;
};

} // namespace

CNTokenList::CNTokenList(LPCWSTR text, LPCWSTR separatorChars) {
    Tokenize(text, separatorChars);
}

void CNTokenList::Tokenize(LPCWSTR text, LPCWSTR separatorChars) {
    if (text == nullptr)
        return;
    CNTokenList separators;
    for (const wchar_t* c = separatorChars; c != nullptr && *c != L'\0'; ++c)
        separators.AddTail(CString(1, *c));
    Split(text, separators);
}

void CNTokenList::Split(LPCWSTR text, const CNTokenList& separators) {
    if (text == nullptr)
        return;
    const std::wstring_view whole(text);
    // An empty separator would match everywhere without advancing, so it never splits.
    NList<SNTokenSepEntry> entries;
    for (const SNode* node = separators.GetHead(); node != nullptr; node = node->m_pNext) {
        if (!node->m_data.empty())
            entries.AddTail(SNTokenSepEntry{node->m_data, -1});
    }
    size_t pos = 0;
    for (;;) {
        NList<SNTokenSepEntry>::SNode* best = nullptr;
        NList<SNTokenSepEntry>::SNode* next = nullptr;
        for (NList<SNTokenSepEntry>::SNode* node = entries.GetHead(); node != nullptr;
             node = next) {
            next = node->m_pNext;
            SNTokenSepEntry& entry = node->m_data;
            if (entry.m_nPos < static_cast<std::ptrdiff_t>(pos)) {
                size_t found = whole.find(entry.m_strSep, pos);
                if (found == std::wstring_view::npos) {
                    entries.RemoveNode(node);
                    continue;
                }
                entry.m_nPos = static_cast<std::ptrdiff_t>(found);
            }
            if (best == nullptr || entry.m_nPos < best->m_data.m_nPos)
                best = node;
        }
        if (best == nullptr)
            break;
        size_t at = static_cast<size_t>(best->m_data.m_nPos);
        AddPiece(text + pos, at - pos);
        pos = at + best->m_data.m_strSep.size();
    }
    AddPiece(text + pos, whole.size() - pos);
}

void CNTokenList::ParseCommandLine(LPCWSTR text) {
    if (text == nullptr)
        return;
    enum { kBetween, kQuoted, kWord } state = kBetween;
    CString token;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        switch (state) {
        case kBetween:
            if (*c == L'"') {
                state = kQuoted;
            } else if (!IsBlank(*c)) {
                token.push_back(*c);
                state = kWord;
            }
            break;
        case kQuoted:
            if (*c == L'"')
                state = kWord;
            else
                token.push_back(*c);
            break;
        case kWord:
            if (IsBlank(*c)) {
                m_tokens.AddTail(token);
                token.clear();
                state = kBetween;
            } else if (*c == L'"') {
                state = kQuoted;
            } else {
                token.push_back(*c);
            }
            break;
        }
    }
    if (state != kBetween)
        m_tokens.AddTail(token);
}

void CNTokenList::SplitLines(LPCWSTR text) {
    if (text == nullptr)
        return;
    const wchar_t* start = text;
    const wchar_t* c = text;
    for (; *c != L'\0'; ++c) {
        if (*c != L'\r' && *c != L'\n')
            continue;
        AddPiece(start, static_cast<size_t>(c - start));
        if (c[0] == L'\r' && c[1] == L'\n')
            ++c;
        start = c + 1;
    }
    AddPiece(start, static_cast<size_t>(c - start));
}

void CNTokenList::FromMultiSz(const wchar_t* block) {
    if (block == nullptr)
        return;
    while (*block != L'\0') {
        size_t length = std::wcslen(block);
        AddPiece(block, length);
        block += length + 1;
    }
}

CString CNTokenList::Join(LPCWSTR separator) const {
    CString result;
    for (const SNode* node = GetHead(); node != nullptr; node = node->m_pNext) {
        if (node != GetHead() && separator != nullptr)
            result += separator;
        result += node->m_data;
    }
    return result;
}

CString CNTokenList::QuoteToken(const CString& token) {
    CString result;
    bool mustQuote = false;
    for (wchar_t c : token) {
        if (c == L'\\' || c == L'"') {
            result.push_back(L'\\');
            mustQuote = true;
        } else if (IsBlank(c) || c == L',') {
            mustQuote = true;
        }
        result.push_back(c);
    }
    return mustQuote ? L'"' + result + L'"' : result;
}

CString CNTokenList::ToQuotedList() const {
    CString result;
    for (const SNode* node = GetHead(); node != nullptr; node = node->m_pNext) {
        if (node != GetHead())
            result.push_back(L',');
        result += QuoteToken(node->m_data);
    }
    return result;
}

int CNTokenList::ToMultiSz(wchar_t* buffer, int size) const {
    size_t needed = 0;
    for (const SNode* node = GetHead(); node != nullptr; node = node->m_pNext) {
        if (!node->m_data.empty())
            needed += node->m_data.size() + 1;
    }
    if (needed == 0)
        return 0;
    ++needed;
    if (buffer == nullptr || size < 0 || needed > static_cast<size_t>(size))
        return -static_cast<int>(needed);
    wchar_t* out = buffer;
    for (const SNode* node = GetHead(); node != nullptr; node = node->m_pNext) {
        if (node->m_data.empty())
            continue;
        node->m_data.copy(out, node->m_data.size());
        out += node->m_data.size();
        *out++ = L'\0';
    }
    *out = L'\0';
    return static_cast<int>(needed);
}

int CNTokenList::RemoveEmpty() {
    int removed = 0;
    SNode* prev = nullptr;
    for (SNode* node = GetTail(); node != nullptr; node = prev) {
        prev = node->m_pPrev;
        if (node->m_data.empty()) {
            m_tokens.RemoveNode(node);
            ++removed;
        }
    }
    return removed;
}

BOOL CNTokenList::Remove(const CString& token) {
    SNode* node = Find(token);
    if (node == nullptr)
        return FALSE;
    m_tokens.RemoveNode(node);
    return TRUE;
}

void CNTokenList::AddTail(const CNTokenList& other) {
    // Counted, so that appending a list to itself ends.
    const SNode* node = other.GetHead();
    for (int n = other.GetCount(); n > 0 && node != nullptr; --n, node = node->m_pNext)
        m_tokens.AddTail(node->m_data);
}

CNTokenList::SNode* CNTokenList::Find(const CString& token) const {
    for (SNode* node = GetHead(); node != nullptr; node = node->m_pNext) {
        if (node->m_data == token)
            return node;
    }
    return nullptr;
}
