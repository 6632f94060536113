// Reads the running main window from outside, as an accessibility tool would: controls and list.
// Runs under the same Wine server as hopwatch.exe; prints tab-separated lines for the lab test.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <utility>

#include "resources/resource_ids.h"

namespace {

// A block of memory inside the window's process, for the list view messages whose pointers the
// system does not carry across processes.
class CRemoteBlock {
public:
    CRemoteBlock(HWND window, SIZE_T size) : m_size(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process != nullptr)
            m_remote = static_cast<BYTE*>(
                ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~CRemoteBlock() {
        if (m_remote != nullptr)
            ::VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
        if (m_process != nullptr)
            ::CloseHandle(m_process);
    }
    bool Ok() const { return m_remote != nullptr; }
    BYTE* Remote(SIZE_T offset = 0) const { return m_remote + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) {
        return ::WriteProcessMemory(m_process, m_remote + offset, data, size, nullptr) != 0;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) {
        return ::ReadProcessMemory(m_process, m_remote + offset, data, size, nullptr) != 0;
    }

private:
    HANDLE m_process = nullptr;
    BYTE* m_remote = nullptr;
    SIZE_T m_size;
};

std::string Utf8(const std::wstring& text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                          nullptr);
    return text;
}

void PrintControl(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    RECT r = {};
    ::GetWindowRect(control, &r);
    std::printf("control\t%d\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t%s\n", id,
                ::IsWindowEnabled(control) ? 1 : 0,
                (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) ? 1 : 0, r.left, r.top, r.right,
                r.bottom, Utf8(WindowText(control)).c_str());
}

void PrintList(HWND list) {
    constexpr SIZE_T kTextOffset = 1024;
    constexpr int kTextChars = 512;
    CRemoteBlock block(list, kTextOffset + kTextChars * sizeof(wchar_t));
    if (!block.Ok()) {
        std::printf("error\tno access to the list's process\n");
        return;
    }
    int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    int columns = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::printf("items\t%d\t%d\n", count, columns);
    for (int c = 0; c < columns; ++c)
        std::printf("column\t%d\t%d\n", c,
                    static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0)));
    for (int i = 0; i < count; ++i) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        block.Write(0, &item, sizeof(item));
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.Remote()));
        block.Read(0, &item, sizeof(item));
        std::printf("item\t%d\t%d", i, item.iImage);
        for (int c = 0; c < columns; ++c) {
            LVITEMW text = {};
            text.iSubItem = c;
            text.pszText = reinterpret_cast<LPWSTR>(block.Remote(kTextOffset));
            text.cchTextMax = kTextChars;
            wchar_t empty = 0;
            block.Write(kTextOffset, &empty, sizeof(empty));
            block.Write(0, &text, sizeof(text));
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(block.Remote()));
            wchar_t buffer[kTextChars] = {};
            block.Read(kTextOffset, buffer, sizeof(buffer) - sizeof(wchar_t));
            std::printf("\t%s", Utf8(buffer).c_str());
        }
        std::printf("\n");
        // Screen rectangles of the cells whose colours and graph the test looks at.
        for (int c : {3, 6, 11}) {
            RECT r = {};
            r.left = LVIR_BOUNDS; // LVM_GETSUBITEMRECT takes the code in left, the column in top
            r.top = c;
            block.Write(0, &r, sizeof(r));
            ::SendMessageW(list, LVM_GETSUBITEMRECT, i, reinterpret_cast<LPARAM>(block.Remote()));
            block.Read(0, &r, sizeof(r));
            ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
            std::printf("cell\t%d\t%d\t%ld\t%ld\t%ld\t%ld\n", i, c, r.left, r.top, r.right,
                        r.bottom);
        }
    }
}

// The tooltip windows of the dialog's thread: whether one is showing, and the text of its first
// tool (the run's title tells how the run probes).
void PrintToolTip(HWND dialog) {
    struct SFound {
        HWND tip = nullptr;
    } found;
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(dialog, nullptr),
        [](HWND window, LPARAM context) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (std::wstring(name) != TOOLTIPS_CLASSW)
                return TRUE;
            reinterpret_cast<SFound*>(context)->tip = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found.tip == nullptr)
        return;
    constexpr SIZE_T kTextOffset = 512;
    constexpr int kTextChars = 256;
    CRemoteBlock block(found.tip, kTextOffset + kTextChars * sizeof(wchar_t));
    if (!block.Ok())
        return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.lpszText = reinterpret_cast<LPWSTR>(block.Remote(kTextOffset));
    wchar_t empty = 0;
    block.Write(kTextOffset, &empty, sizeof(empty));
    block.Write(0, &tool, sizeof(tool));
    ::SendMessageW(found.tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(block.Remote()));
    wchar_t text[kTextChars] = {};
    block.Read(kTextOffset, text, sizeof(text) - sizeof(wchar_t));
    std::printf("tooltip\t%d\t%s\n", ::IsWindowVisible(found.tip) ? 1 : 0, Utf8(text).c_str());
}

} // namespace

// Arguments: the name of the Wine desktop the program runs on (explorer /desktop=NAME), then
// optionally "size WIDTH HEIGHT" to resize the window first, as dragging its frame would.
int wmain(int argc, wchar_t** argv) {
    if (argc > 1) {
        HDESK desktop = ::OpenDesktopW(argv[1], 0, FALSE, GENERIC_ALL);
        if (desktop == nullptr || !::SetThreadDesktop(desktop)) {
            std::printf("error\tno desktop %s\n", Utf8(argv[1]).c_str());
            return 1;
        }
    }
    HWND dialog = ::FindWindowW(L"#32770", L"Hopwatch");
    if (dialog == nullptr) {
        std::printf("window\tnone\n");
        return 1;
    }
    if (argc > 4 && std::wstring(argv[2]) == L"size") {
        ::SetWindowPos(dialog, nullptr, 0, 0, _wtoi(argv[3]), _wtoi(argv[4]),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT r = {};
    ::GetWindowRect(dialog, &r);
    std::printf("window\t%ld\t%ld\t%ld\t%ld\t%d\t%d\n", r.left, r.top, r.right, r.bottom,
                ::IsIconic(dialog) ? 1 : 0, ::IsZoomed(dialog) ? 1 : 0);
    for (int id : {IDC_HOST_COMBO, IDC_PROGRESS, IDC_START, IDC_OPTIONS, IDC_EXPORT})
        PrintControl(dialog, id);
    PrintList(::GetDlgItem(dialog, IDC_RESULTS));
    PrintToolTip(dialog);
    std::fflush(stdout);
    return 0;
}
