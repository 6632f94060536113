// hopwatch-window-probe: reads and closes the desktop program's windows from another process of
// the same Wine session, for end-to-end tests. Output is UTF-8 with CR and LF kept as they are.
//   window_probe wait CAPTION SECONDS     exits 0 once a top-level window CAPTION exists
//   window_probe text CAPTION ID          prints the text of control ID of that window
//   window_probe boxtext CAPTION          prints the text of the message box CAPTION
//   window_probe close CAPTION            asks that window to close (WM_CLOSE)
//   window_probe gone CAPTION SECONDS     exits 0 once no window CAPTION is left
//   window_probe waittext CAPTION ID PREFIX SECONDS GONE
//                                         prints "ready" once it looks, then exits 0 as soon as
//                                         the text of control ID begins with PREFIX (looked at
//                                         every 10 ms), printing the milliseconds since the
//                                         window GONE was last seen; 1 after SECONDS
//   window_probe rows CAPTION ID          prints the number of items of list view ID
//   window_probe rowpoint CAPTION ID ROW  prints "x y", the screen point in the middle of the
//                                         first column of row ROW of list view ID
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND Find(const wchar_t* caption) {
    return ::FindWindowW(nullptr, caption);
}

void PrintUtf8(const std::wstring& text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring ItemText(HWND window, int id) {
    HWND item = ::GetDlgItem(window, id);
    if (item == nullptr)
        return std::wstring();
    wchar_t buffer[8192] = {};
    ::SendMessageW(item, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// Waits (bounded) until the window exists (wanted) or is gone.
int WaitFor(const wchar_t* caption, const wchar_t* seconds, bool wanted) {
    DWORD deadline = ::GetTickCount() + static_cast<DWORD>(_wtoi(seconds)) * 1000;
    for (;;) {
        if ((Find(caption) != nullptr) == wanted)
            return 0;
        if (static_cast<LONG>(::GetTickCount() - deadline) > 0)
            return 1;
        ::Sleep(100);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // The texts go out byte for byte: no LF to CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 3)
        return 2;
    std::wstring command = argv[1];
    const wchar_t* caption = argv[2];
    if (command == L"wait" && argc == 4)
        return WaitFor(caption, argv[3], true);
    if (command == L"gone" && argc == 4)
        return WaitFor(caption, argv[3], false);
    if (command == L"waittext" && argc == 7) {
        std::printf("ready\n");
        std::fflush(stdout);
        const std::wstring prefix = argv[4];
        DWORD deadline = ::GetTickCount() + static_cast<DWORD>(_wtoi(argv[5])) * 1000;
        DWORD lastSeen = ::GetTickCount();
        while (static_cast<LONG>(::GetTickCount() - deadline) < 0) {
            if (Find(argv[6]) != nullptr)
                lastSeen = ::GetTickCount();
            HWND window = Find(caption);
            if (window != nullptr && ItemText(window, _wtoi(argv[3])).rfind(prefix, 0) == 0) {
                std::printf("%lu\n", static_cast<unsigned long>(::GetTickCount() - lastSeen));
                return 0;
            }
            ::Sleep(10);
        }
        return 1;
    }
    HWND window = Find(caption);
    if (window == nullptr)
        return 1;
    if (command == L"text" && argc == 4) {
        PrintUtf8(ItemText(window, _wtoi(argv[3])));
        return 0;
    }
    if (command == L"boxtext") {
        // The text of a message box is its static control 0xFFFF.
        PrintUtf8(ItemText(window, 0xFFFF));
        return 0;
    }
    if (command == L"rows" && argc == 4) {
        HWND list = ::GetDlgItem(window, _wtoi(argv[3]));
        if (list == nullptr)
            return 1;
        std::printf("%d", static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (command == L"rowpoint" && argc == 5) {
        // Measured from outside: window rectangles and the list's own size estimate are the
        // only answers that need no memory of the other process.
        HWND list = ::GetDlgItem(window, _wtoi(argv[3]));
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
        if (list == nullptr || header == nullptr)
            return 1;
        DWORD one = static_cast<DWORD>(::SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, -1));
        DWORD two = static_cast<DWORD>(::SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 2, -1));
        int rowHeight = HIWORD(two) - HIWORD(one);
        RECT headerRect = {};
        ::GetWindowRect(header, &headerRect);
        int row = _wtoi(argv[4]);
        int x = headerRect.left + 12;
        int y = headerRect.bottom + row * rowHeight + rowHeight / 2;
        std::printf("%d %d", x, y);
        return rowHeight > 0 ? 0 : 1;
    }
    if (command == L"close") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
