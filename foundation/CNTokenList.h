// CNTokenList: the program's list of strings and its tokenizer (separators, command lines, lines).
#pragma once

#include "foundation/NList.h"
#include "foundation/base_types.h"

class CNTokenList {
public:
    typedef NList<CString>::SNode SNode;

    CNTokenList() = default;
    // Tokenize(text, separatorChars).
    CNTokenList(LPCWSTR text, LPCWSTR separatorChars);
    virtual ~CNTokenList() { m_tokens.RemoveAll(); }

    // All functions that add tokens append them at the tail. Allocation failures drop tokens
    // silently (a node could not be made); nothing throws.

    // Splits at any one of the separator characters. A null text adds nothing; an empty text or
    // no separators add the whole text as one token. Adjacent separators give empty tokens.
    void Tokenize(LPCWSTR text, LPCWSTR separatorChars);
    // Splits at separator strings (case-sensitive); where two occur at the same place, the one
    // earlier in `separators` wins. Empty separators are ignored.
    void Split(LPCWSTR text, const CNTokenList& separators);
    // Splits a command line at blanks; double quotes group and are dropped, there is no escape.
    void ParseCommandLine(LPCWSTR text);
    // Splits at CR LF, lone CR and lone LF; the text after the last break is always a token.
    void SplitLines(LPCWSTR text);
    // Appends each string of a NUL-separated block up to the first empty string.
    void FromMultiSz(const wchar_t* block);

    // The tokens with `separator` (null or empty: nothing) between each two.
    CString Join(LPCWSTR separator) const;
    // QuoteToken of every token, joined with commas.
    CString ToQuotedList() const;
    // Backslashes doubled and double quotes escaped; the result is enclosed in double quotes
    // when something was escaped or the token holds a blank or a comma.
    static CString QuoteToken(const CString& token);
    // Writes every token followed by a NUL, then one more NUL, and returns the characters
    // written. Empty tokens are left out: in this layout an empty string ends the block, so
    // writing one would lose every later token. When `size` is too small nothing is written and
    // the needed size is returned negated; a list without non-empty tokens writes nothing, 0.
    int ToMultiSz(wchar_t* buffer, int size) const;

    // Removes and returns the first token; an empty string for an empty list.
    CString RemoveHead() { return m_tokens.RemoveHead(); }
    // Removes every empty token; returns how many were removed.
    int RemoveEmpty();
    // Removes the first token equal to `token`; FALSE when there is none.
    BOOL Remove(const CString& token);
    void RemoveAll() { m_tokens.RemoveAll(); }

    SNode* AddTail(const CString& token) { return m_tokens.AddTail(token); }
    SNode* AddHead(const CString& token) { return m_tokens.AddHead(token); }
    // Appends copies of all tokens of `other` (which may be this list: its tokens then repeat).
    void AddTail(const CNTokenList& other);
    // The first token equal to `token` (case-sensitive), or nullptr.
    SNode* Find(const CString& token) const;

    int GetCount() const { return m_tokens.GetCount(); }
    // Walk with node->m_pNext from GetHead() or m_pPrev from GetTail().
    SNode* GetHead() const { return m_tokens.GetHead(); }
    SNode* GetTail() const { return m_tokens.GetTail(); }
    const NList<CString>& GetTokens() const { return m_tokens; }

protected:
    NList<CString> m_tokens;

private:
    void AddPiece(LPCWSTR begin, size_t length) { m_tokens.AddTail(CString(begin, length)); }
};
