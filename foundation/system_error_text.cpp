// SystemErrorText: the system's message for an error code, prefixed with the code.
#include "foundation/system_error_text.h"

#include "foundation/blank_set.h"
#include "foundation/numbers.h"
#include "platform/error_text.h"
#include "platform/last_error.h"

CString SystemErrorText(DWORD code, BOOL appendLineBreak) {
    const DWORD lastError = GetLastSystemError();
    if (code == 0xFFFFFFFF)
        code = lastError;
    CString message;
    if (PlatformErrorMessage(code, &message))
        message = TrimBlanks(message); // system messages end with a line break
    if (message.empty())
        message = L"Unknown system error";
    CString text = L"Error " + FormatUnsigned(code, 10) + L": " + message;
    if (appendLineBreak)
        text += L"\r\n";
    // Looking the text up may have touched the last error; callers may still want to read it.
    SetLastSystemError(lastError);
    return text;
}
