// Code page conversion through MultiByteToWideChar.
#include "platform/codepage.h"

#include <windows.h>

bool PlatformMultiByteToWide(UINT codePage, const char* text, int length, CString& out) {
    int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0)
        return false;
    CString converted(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(codePage, 0, text, length, converted.data(), needed) != needed)
        return false;
    out.swap(converted);
    return true;
}
