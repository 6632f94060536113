// 8-bit code page conversion shared by every system: names from the socket layer to program text.
#include "platform/ansi_text.h"

#include "foundation/text_utils.h"

CString PlatformAnsiToWide(const std::string& text) {
    return AnsiToString(text.c_str());
}
