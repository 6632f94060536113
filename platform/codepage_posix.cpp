// Code page conversion on Linux: UTF-8, with Latin-1 for bytes that are not valid UTF-8.
#include "platform/codepage.h"

#include "foundation/utf.h"

bool PlatformMultiByteToWide(UINT codePage, const char* text, int length, CString& out) {
    out = Utf8ToWide(text, static_cast<size_t>(length), TRUE);
    return true;
}
