// CAboutBox: the About dialog from a template built into the program, sized to fit its text.
#include "app/CAboutBox.h"

#include <vector>

#include "app/CHopwatchApp.h"
#include "foundation/CNTokenList.h"
#include "foundation/about_box_text.h"
#include "resources/resource_ids.h"

namespace {

// Builds a DLGTEMPLATE with its items word by word (the layout of in-memory dialog templates:
// every item starts on a DWORD boundary, classes by their predefined atoms).
class CTemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        for (; *text != L'\0'; ++text)
            Word(static_cast<WORD>(*text));
        Word(0);
    }
    void Align() {
        if (m_words.size() % 2 != 0)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
              const wchar_t* title, WORD ordinal = 0) {
        Align();
        Dword(style | WS_CHILD);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        if (title != nullptr) {
            Text(title);
        } else {
            Word(0xFFFF);
            Word(ordinal);
        }
        Word(0); // no creation data
    }
    std::vector<WORD>& Words() { return m_words; }

private:
    std::vector<WORD> m_words;
};

const WORD kButtonAtom = 0x0080;
const WORD kEditAtom = 0x0081;
const WORD kStaticAtom = 0x0082;

std::vector<DWORD> BuildTemplate() {
    CTemplateWriter writer;
    writer.Dword(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    writer.Dword(0);
    writer.Word(3); // items
    writer.Word(0);
    writer.Word(0);
    writer.Word(236);
    writer.Word(81);
    writer.Word(0); // no menu
    writer.Word(0); // the standard dialog class
    writer.Text(L"About");
    writer.Word(8);
    writer.Text(L"Tahoma");
    writer.Item(BS_DEFPUSHBUTTON | WS_VISIBLE | WS_GROUP | WS_TABSTOP, 195, 55, 35, 20, IDOK,
                kButtonAtom, L"OK");
    writer.Item(SS_ICON | WS_VISIBLE, 210, 5, 20, 20, CAboutBox::kIconId, kStaticAtom, nullptr,
                IDR_MAINFRAME);
    writer.Item(WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL,
                5, 5, 180, 70, CAboutBox::kBodyId, kEditAtom, L"");
    std::vector<WORD>& words = writer.Words();
    writer.Align();
    // Held as DWORDs so the template is DWORD-aligned, as the dialog manager requires.
    std::vector<DWORD> aligned(words.size() / 2);
    for (size_t i = 0; i < aligned.size(); ++i)
        aligned[i] = MAKELONG(words[2 * i], words[2 * i + 1]);
    return aligned;
}

} // namespace

const DLGTEMPLATE* CAboutBox::GetTemplate() {
    static const std::vector<DWORD> data = BuildTemplate();
    return reinterpret_cast<const DLGTEMPLATE*>(data.data());
}

CAboutBox::CAboutBox(HWND parent, const CNVersionInfo* version)
    : CDialog(GetTemplate()), m_parent(parent), m_textColor(::GetSysColor(COLOR_WINDOWTEXT)),
      m_backColor(::GetSysColor(COLOR_WINDOW)) {
    const CNVersionInfo& info = version != nullptr ? *version : g_OwnVersionInfo;
    LoadProgramIcons(GetResourceInstance());
    m_hLargeIcon = g_hLargeIcon;
    m_hSmallIcon = g_hSmallIcon;
    m_hBackBrush = ::CreateSolidBrush(m_backColor);
    m_buildDate = info.GetBuildDate();
    m_strCaption = AboutBoxCaption(info);
    m_strBody = AboutBoxBody(info);
}

CAboutBox::~CAboutBox() {
    if (m_hBackBrush != nullptr)
        ::DeleteObject(m_hBackBrush);
}

BOOL CAboutBox::OnInitDialog() {
    SetIcon(m_hLargeIcon, TRUE);
    SetIcon(m_hSmallIcon, FALSE);
    m_body.Attach(GetDlgItem(kBodyId));
    m_ok.Attach(GetDlgItem(IDOK));
    m_layout.Prepare(m_hWnd);
    m_layout.AddControl(IDOK, 15);
    m_layout.AddControl(kIconId, 3);
    m_layout.AddControl(kBodyId, 10);
    SetWindowText(m_strCaption);
    m_body.SetWindowText(m_strBody);
    FitToText();
    return TRUE;
}

void CAboutBox::FitToText() {
    CNTokenList lines;
    lines.SplitLines(m_strBody.c_str());
    std::vector<int> widths, heights;
    HDC dc = ::GetDC(m_hWnd);
    if (dc == nullptr)
        return;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    for (const CNTokenList::SNode* node = lines.GetHead(); node != nullptr; node = node->m_pNext) {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(dc, node->m_data.c_str(), static_cast<int>(node->m_data.size()),
                                &size);
        widths.push_back(size.cx);
        heights.push_back(size.cy > 0 ? size.cy : metrics.tmHeight); // an empty line still counts
    }
    if (old != nullptr)
        ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    int width = 0, height = 0;
    AboutBoxTextExtent(widths.data(), heights.data(), static_cast<int>(widths.size()), &width,
                       &height);
    RECT client, outer;
    m_body.GetClientRect(&client);
    GetWindowRect(&outer);
    SetWindowPos(nullptr, 0, 0, outer.right - outer.left + width - client.right,
                 outer.bottom - outer.top + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CAboutBox::OnSize(UINT, int, int) {
    m_layout.Resize();
    return TRUE;
}

BOOL CAboutBox::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_CTLCOLORMSGBOX && msg != WM_CTLCOLOREDIT && msg != WM_CTLCOLORSTATIC)
        return FALSE;
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != kBodyId)
        return FALSE;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_textColor);
    ::SetBkColor(dc, m_backColor);
    result = reinterpret_cast<LRESULT>(m_hBackBrush);
    return TRUE;
}
