// The About box's caption and body, built from the program's version information.
#include "foundation/about_box_text.h"

#include "foundation/CNTextBuffer.h"

CString AboutBoxCaption(const CNVersionInfo& version) {
    return L"About " + version.GetInternalName();
}

CString AboutBoxBody(const CNVersionInfo& version) {
    CNTextBuffer body(version.Format(L"%p\r\n%g V%a.%b.%c.%d\r\n").c_str());
    for (const CString& line :
         {version.GetCompanyName(), version.GetLegalCopyright(), version.GetComments()}) {
        if (!line.empty()) {
            body.Append(line.c_str());
            body.Append(L"\r\n");
        }
    }
    CNTimeStamp built = version.GetBuildDate();
    if (built.IsSet()) {
        built.ToLocal();
        body.Append(built.Format(L"Built on %Y-%b-%d %H:%M:%S").c_str());
    }
    return body.GetText();
}

void AboutBoxTextExtent(const int* widths, const int* heights, int count, int* width, int* height) {
    int widest = 0;
    int total = 0;
    for (int i = 0; i < count; ++i) {
        widest = widths[i] > widest ? widths[i] : widest;
        total += heights[i];
    }
    *width = widest + 8;
    *height = total + 8 < 64 ? 64 : total + 8;
}
