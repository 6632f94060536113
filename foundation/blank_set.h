// The blank set that every trim of user input and the number parser use.
#pragma once

#include "foundation/base_types.h"

// Backspace, tab, line feed, vertical tab, form feed, carriage return and space; never NUL.
inline bool IsBlank(wchar_t c) {
    return c == L' ' || (c >= 0x08 && c <= 0x0D);
}

// The text without blanks at either end.
inline CString TrimBlanks(const CString& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}
