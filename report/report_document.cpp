// The HTML 4.01 Transitional report of a test, built from a snapshot of what the list shows.
#include "report/report_document.h"

#include "foundation/CNTextBuffer.h"
#include "report/report_html.h"
#include "report/report_icon_table.h"
#include "timeline/timeline_report.h"

const wchar_t kReportMakerAddress[] = L"https://www.orvane.example/hopwatch/";

namespace {

const wchar_t kTimeFormat[] = L"%a, %b %d, %Y  %I:%M:%S %p GMT%G";

const wchar_t* const kBasicStyles[] = {
    L"body { background: white; color: black; font-family: Tahoma, Verdana, Arial, Helvetica, "
    L"sans-serif; }",
    L"a:link { color: #0066CC; }",
    L"a:visited { color: #333300; }",
    L"a:active { color: #660066; }",
    L".tbh { border-style: none; border-spacing: 0px; border-collapse: collapse; }",
    L".hd { font-size: 24px; font-weight: bold; }",
    L".pm { font-size: 12px; }",
    L".tb { font-size: 12px; border: 1px solid #999999; border-spacing: 2px; border-style: "
    L"outset; border-collapse: collapse; }",
    L".th { background-color: #CCCCCC; }",
    L".thl { text-align: left; padding: 2px; border: 1px solid #999999; border-style: inset; }",
    L".thc { text-align: center; padding: 2px; border: 1px solid #999999; border-style: inset; }",
    L".thr { text-align: right; padding: 2px; border: 1px solid #999999; border-style: inset; }",
    L".tdl { text-align: left; padding: 2px; border: 1px solid #CCCCCC; border-style: inset; }",
    L".tdc { text-align: center; padding: 2px; border: 1px solid #CCCCCC; border-style: inset; }",
    L".tdr { text-align: right; padding: 2px; border: 1px solid #CCCCCC; border-style: inset; }",
    L".ft { font-size: 10px; }",
};

const wchar_t* const kIconStyles[] = {
    L".tdhx { text-align: center; padding: 0px; border-style: none; border-spacing: 0px; }",
    L".thx { text-align: center; padding: 0px; border: 1px solid #999999; border-style: inset; }",
    L".tdx { text-align: center; padding: 0px; border: 1px solid #CCCCCC; border-style: inset; }",
    L".tbi { background-color: transparent; border-style: none; border-collapse: collapse; "
    L"border-spacing: 0px; }",
};

const wchar_t kPixelStyleTail[] = L"; border-style: none; border-spacing: 0px; padding: 0px; }\r\n";

// Appends pieces to a text buffer and remembers whether any append ran out of memory, so the
// document is checked once at the end instead of after every piece.
class CReportText {
public:
    CReportText& operator<<(LPCWSTR text) {
        if (!m_buffer.Append(text))
            m_failed = true;
        return *this;
    }
    CReportText& operator<<(const CString& text) { return *this << text.c_str(); }

    BOOL TakeText(CString& document) {
        const wchar_t* text = m_failed ? nullptr : m_buffer.GetText();
        if (text == nullptr)
            return FALSE;
        document.assign(text, static_cast<std::size_t>(m_buffer.GetLength()));
        return TRUE;
    }

private:
    CNTextBuffer m_buffer;
    bool m_failed = false;
};

void AppendStyleRule(CReportText& out, LPCWSTR rule) {
    out << L"\t\t" << rule << L"\r\n";
}

void AppendIconStyles(CReportText& out) {
    for (LPCWSTR rule : kIconStyles)
        AppendStyleRule(out, rule);
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    out << L"\t\t.tdiT { width: 1px; height: 1px; background-color: transparent" << kPixelStyleTail;
    for (int i = 0; i < 16; ++i) {
        const wchar_t digit[2] = {kHex[i], L'\0'};
        out << L"\t\t.tdi" << digit << L" { width: 1px; height: 1px; background-color: "
            << ColorToHtml(ReportPaletteColor(i)) << kPixelStyleTail;
    }
}

void AppendHead(CReportText& out, const SHopwatchReportInput& input) {
    out << L"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
        << L"<html>\r\n<head>\r\n\t<title>Hopwatch Results</title>\r\n";
    out << L"\t<meta name=\"Generator\" content=\"" << EscapeHtml(input.version.generator, FALSE)
        << L"\">\r\n";
    out << L"\t<meta NAME=\"Author\" CONTENT=\"Kestrin\">\r\n"
        << L"\t<meta NAME=\"Description\" CONTENT=\"Machine-generated network diagnostics "
           L"results\">\r\n"
        << L"\t<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n";
    out << L"\t<style type=\"text/css\">\r\n";
    for (LPCWSTR rule : kBasicStyles)
        AppendStyleRule(out, rule);
    if (input.exportIcons)
        AppendIconStyles(out);
    out << L"\t</style>\r\n</head>\r\n";
}

void AppendTitleAndTimes(CReportText& out, const SHopwatchReportInput& input) {
    out << L"<body>\r\n<table class=\"tbh\"><tr>\r\n";
    if (input.exportIcons) {
        CString icon;
        AppendImageTable(icon, input.programIcon, TRUE, 0);
        out << L"<td class=\"tdhx\">\r\n" << icon << L"</td>\r\n";
    }
    out << L"<td class=\"hd\">Hopwatch Results</td>\r\n</tr></table>\r\n";
    out << L"<div class=\"pm\"><br>\r\n\tHost: " << EscapeHtml(input.progressText, FALSE)
        << L"<br>\r\n";
    out << L"\tTest started: " << input.started.Format(kTimeFormat) << L"<br>\r\n";
    const bool running = !input.stopped.IsSet();
    const CNTimeStamp& end = running ? input.now : input.stopped;
    out << (running ? L"\tTest sampled: " : L"\tTest stopped: ") << end.Format(kTimeFormat)
        << L"<br>\r\n";
    const std::int64_t span = static_cast<std::int64_t>(end.GetValue() - input.started.GetValue());
    out << L"\tTest duration: " << FormatReportDuration(span) << L"<br>\r\n";
    out << L"\t<br>\r\n</div>\r\n";
}

void AppendTable(CReportText& out, const SHopwatchReportInput& input) {
    const int columns = input.columns.GetSize();
    out << L"<table class=\"tb\">\r\n\t<tr class=\"th\">\r\n";
    if (input.exportIcons)
        out << L"\t\t<th class=\"thx\"></th>\r\n";
    for (int c = 0; c < columns; ++c)
        out << L"\t\t<th class=\"th" << ReportAlignmentLetter(c, input.columns[c].format) << L"\">"
            << EscapeHtml(input.columns[c].header, FALSE) << L"</th>\r\n";
    out << L"\t</tr>\r\n";
    for (int r = 0; r < input.items.GetSize(); ++r) {
        const SHopwatchReportItem& item = input.items[r];
        out << L"\t<tr>\r\n";
        if (input.exportIcons) {
            CString image;
            if (item.image >= 0)
                AppendImageTable(image, input.rowImages, FALSE, item.image);
            out << L"\t\t<td class=\"tdx\">\r\n" << image << L"\t\t</td>\r\n";
        }
        for (int c = 0; c < columns; ++c) {
            const COLORREF color = c < item.colors.GetSize() ? item.colors[c] : 0xFFFFFF;
            out << L"\t\t<td class=\"td" << ReportAlignmentLetter(c, input.columns[c].format)
                << L"\" style=\"background-color: " << ColorToHtml(color) << L";\">";
            if (c < item.texts.GetSize())
                out << EscapeHtml(item.texts[c], TRUE);
            out << L"</td>\r\n";
        }
        out << L"\t</tr>\r\n";
    }
    out << L"</table>\r\n<br>\r\n";
}

void AppendFooter(CReportText& out, const SHopwatchReportInput& input) {
    out << L"<div class=\"ft\">Generated by <a href=\"" << kReportMakerAddress << L"\">"
        << input.version.footer;
    if (input.version.buildUtc.IsSet()) {
        CNTimeStamp build = input.version.buildUtc;
        build.ToLocal();
        out << build.Format(L"Build %y%m%d.%H%M%S ");
    }
    out << L"</div>\r\n</body>\r\n</html>\r\n";
}

} // namespace

BOOL BuildHopwatchReport(const SHopwatchReportInput& input, CString& document) {
    CReportText out;
    AppendHead(out, input);
    AppendTitleAndTimes(out, input);
    AppendTable(out, input);
    if (input.timeline.include)
        out << TimelineReportSection(input.timeline);
    AppendFooter(out, input);
    return out.TakeText(document);
}
