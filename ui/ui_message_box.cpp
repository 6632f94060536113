// The message-box seam: the real MessageBoxW unless a test handler answers.
#include "ui/ui_message_box.h"

namespace {
UiMessageBoxHandler& Handler() {
    static UiMessageBoxHandler handler;
    return handler;
}
} // namespace

int UiMessageBox(HWND owner, const CString& text, const CString& caption, UINT type) {
    if (Handler())
        return Handler()(owner, text, caption, type);
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void SetUiMessageBoxHandler(UiMessageBoxHandler handler) {
    Handler() = std::move(handler);
}
