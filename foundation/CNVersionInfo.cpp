// CNVersionInfo: the version resource of an executable file: version numbers, strings, build date.
#include "foundation/CNVersionInfo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/numbers.h"
#include "platform/last_error.h"
#include "platform/paths.h"

namespace {

const DWORD kErrorInvalidData = 13;
const DWORD kErrorInvalidParameter = 87;
const DWORD kErrorReadFault = 30;
const size_t kFixedInfoBytes = 52;
const size_t kMaxFullPath = 65536;
const size_t kMaxModulePath = 263;

// The root block's key, kept backwards so that the program's own file does not contain it as
// text: a search of the program's own executable must find the resource, not this constant.
const wchar_t kReversedRootKey[] = L"OFNI_NOISREV_SV";

CString RootKey() {
    CString key = kReversedRootKey;
    std::reverse(key.begin(), key.end());
    return key;
}

// VS_FIXEDFILEINFO fields by their index of 32-bit words.
enum EFixedField {
    kFixedProductVersionMS = 4,
    kFixedProductVersionLS = 5,
    kFixedFileFlags = 7,
    kFixedFileDateMS = 11,
    kFixedFileDateLS = 12,
};

class CFileChunks : public CNVersionInfo::CChunkSource {
public:
    explicit CFileChunks(CPlatformReadFile& file) : m_file(file) {}
    DWORD Read(BYTE* buffer, size_t size, size_t* got) override {
        return m_file.Read(buffer, size, got);
    }

private:
    CPlatformReadFile& m_file;
};

class CMemoryChunks : public CNVersionInfo::CChunkSource {
public:
    CMemoryChunks(const BYTE* data, size_t size) : m_pData(data), m_nLeft(size) {}
    DWORD Read(BYTE* buffer, size_t size, size_t* got) override {
        *got = std::min(size, m_nLeft);
        if (*got != 0)
            std::memcpy(buffer, m_pData, *got);
        m_pData += *got;
        m_nLeft -= *got;
        return 0;
    }

private:
    const BYTE* m_pData;
    size_t m_nLeft;
};

} // namespace

void CNVersionInfo::Clear() {
    delete m_pRoot;
    m_pRoot = nullptr;
    m_pFixedInfo = nullptr;
    m_pStringTable = nullptr;
    m_strPath.clear();
    m_fileData = SFileFindData();
    m_dwLanguage = 0x040904B0;
    m_rootOffset = -1;
}

BOOL CNVersionInfo::Read(LPCWSTR name) {
    Clear();
    if (name == nullptr || *name == L'\0') {
        SetLastSystemError(kErrorInvalidParameter);
        return FALSE;
    }
    SFileFindData found;
    DWORD error = PlatformFindFile(name, found);
    if (error == kFindSeveralMatches)
        error = kErrorInvalidParameter;
    if (error != 0) {
        SetLastSystemError(error);
        return FALSE;
    }
    if ((found.m_dwAttributes & kFileAttributeDirectory) != 0) {
        SetLastSystemError(kErrorInvalidData);
        return FALSE;
    }
    CString path;
    error = PlatformGetFullPathName(name, path, kMaxFullPath);
    CPlatformReadFile file;
    if (error == 0)
        error = file.Open(path.c_str());
    if (error != 0) {
        SetLastSystemError(error);
        return FALSE;
    }
    m_fileData = found;
    m_strPath = path;
    CFileChunks chunks(file);
    BOOL ok = Scan(chunks, found.m_nSize);
    DWORD scanError = GetLastSystemError();
    file.Close();
    SetLastSystemError(ok ? 0 : scanError);
    return ok;
}

BOOL CNVersionInfo::ReadOwnModule() {
    CString path;
    DWORD error = PlatformGetModuleFileName(path, kMaxModulePath);
    if (error != 0) {
        Clear();
        SetLastSystemError(error);
        return FALSE;
    }
    return Read(path.c_str());
}

BOOL CNVersionInfo::ReadBytes(const BYTE* data, size_t size) {
    Clear();
    CMemoryChunks chunks(data, data != nullptr ? size : 0);
    return Scan(chunks, data != nullptr ? size : 0);
}

// The file is read in 64 KiB chunks into a 128 KiB window that keeps the previous chunk in front
// of the new one, so a block (at most 64 KiB long) that starts in the front half is whole in the
// window. Candidates are the 32-bit-aligned offsets of the front half, and at the last chunk
// those of the new data too; the first block that parses is the resource.
BOOL CNVersionInfo::Scan(CChunkSource& source, std::uint64_t size) {
    std::vector<BYTE> window(2 * kChunkBytes);
    const CString rootKey = RootKey();
    std::uint64_t remaining = size;
    std::uint64_t windowOffset = 0; // file offset of window[0]
    size_t front = 0;               // bytes of the previous chunk at the window's start
    for (;;) {
        size_t want = static_cast<size_t>(std::min<std::uint64_t>(kChunkBytes, remaining));
        size_t got = 0;
        if (want != 0) {
            DWORD error = source.Read(window.data() + front, want, &got);
            if (error != 0 || got != want) {
                SetLastSystemError(error != 0 ? error : kErrorReadFault);
                return FALSE;
            }
        }
        remaining -= got;
        const size_t have = front + got;
        const bool last = remaining == 0;
        const size_t searchEnd = last ? have : front;
        for (size_t offset = 0; offset < searchEnd; offset += 4) {
            const BYTE* position = window.data() + offset;
            size_t left = have - offset;
            CNFileVersionItem* root = CNFileVersionItem::Parse(position, left, rootKey.c_str());
            if (root == nullptr)
                continue;
            m_pRoot = root;
            m_rootOffset = static_cast<std::int64_t>(windowOffset + offset);
            if (root->GetType() == 0 && root->GetValueLength() == kFixedInfoBytes)
                m_pFixedInfo = root->GetValue();
            SelectLanguage(m_dwLanguage);
            SetLastSystemError(0);
            return TRUE;
        }
        if (last)
            break;
        std::memmove(window.data(), window.data() + front, got);
        windowOffset += front;
        front = got;
    }
    SetLastSystemError(kErrorInvalidData);
    return FALSE;
}

BOOL CNVersionInfo::SelectLanguage(DWORD language) {
    m_dwLanguage = language;
    m_pStringTable = nullptr;
    if (m_pRoot == nullptr) {
        SetLastSystemError(kErrorInvalidData);
        return FALSE;
    }
    CString key = FormatUnsigned(language, 16, 8, L'0');
    for (wchar_t& c : key)
        if (c >= L'A' && c <= L'F')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    const CNFileVersionItem* stringInfo = m_pRoot->Find(L"StringFileInfo", TRUE);
    if (stringInfo != nullptr)
        m_pStringTable = stringInfo->Find(key, FALSE);
    return m_pStringTable != nullptr ? TRUE : FALSE;
}

CString CNVersionInfo::GetString(const CString& key) const {
    if (m_pRoot == nullptr) {
        SetLastSystemError(kErrorInvalidData);
        return CString();
    }
    const CNFileVersionItem* item =
        m_pStringTable != nullptr ? m_pStringTable->Find(key, FALSE) : m_pRoot->Find(key, TRUE);
    if (item == nullptr) {
        SetLastSystemError(kErrorInvalidParameter);
        return CString();
    }
    if (item->GetType() != 1) {
        SetLastSystemError(kErrorInvalidData);
        return CString();
    }
    SetLastSystemError(0);
    return item->GetText();
}

DWORD CNVersionInfo::FixedField(int index) const {
    if (m_pFixedInfo == nullptr)
        return 0;
    const BYTE* p = m_pFixedInfo + index * 4;
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

WORD CNVersionInfo::GetProductVersionPart(int index) const {
    if (index < 0 || index > 3)
        return 0;
    DWORD word = FixedField(index < 2 ? kFixedProductVersionMS : kFixedProductVersionLS);
    return static_cast<WORD>(index % 2 == 0 ? word >> 16 : word & 0xFFFF);
}

BOOL CNVersionInfo::IsDebug() const {
    return (FixedField(kFixedFileFlags) & 1) != 0 ? TRUE : FALSE;
}

CNTimeStamp CNVersionInfo::GetBuildDate() const {
    return CNTimeStamp((static_cast<std::uint64_t>(FixedField(kFixedFileDateMS)) << 32) |
                       FixedField(kFixedFileDateLS));
}

CString CNVersionInfo::Format(LPCWSTR format) const {
    return FormatWith(format, false);
}

CString CNVersionInfo::FormatWith(LPCWSTR format, bool nested) const {
    if (m_pFixedInfo == nullptr)
        return L"<n/a>";
    if (format == nullptr)
        format = m_strDefaultFormat.c_str();
    // Widths beyond what PadText gives are pointless; the cap keeps the digits from overflowing.
    const int kMaxWidth = static_cast<int>(kMaxNumberText);
    CString out;
    bool inEscape = false;
    CString escape;
    bool leftAlign = false, precisionNext = false;
    int width = 0, precision = 0;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        const wchar_t c = *p;
        if (!inEscape) {
            if (c == L'%') {
                inEscape = true;
                escape = L"%";
                leftAlign = precisionNext = false;
                width = precision = 0;
            } else {
                out.push_back(c);
            }
            continue;
        }
        if (c == L'-') {
            leftAlign = true;
            escape.push_back(c);
            continue;
        }
        if (c == L'.') {
            precisionNext = true;
            escape.push_back(c);
            continue;
        }
        if (c >= L'0' && c <= L'9') {
            int& target = precisionNext ? precision : width;
            target = std::min(kMaxWidth, target * 10 + (c - L'0'));
            escape.push_back(c);
            continue;
        }
        inEscape = false;
        const int signedWidth = leftAlign ? -std::max(width, 1) : std::max(width, 1);
        if (c >= L'a' && c <= L'd') {
            CString digits = PadText(FormatUnsigned(GetProductVersionPart(c - L'a'), 10),
                                     std::max(precision, 1), L'0');
            out += PadText(digits, signedWidth, L' ');
            continue;
        }
        CString text;
        switch (c) {
        case L'p':
            text = GetProductName();
            break;
        case L'f':
            text = GetFileDescription();
            break;
        case L'v':
            text = GetFileVersion();
            break;
        case L'o':
            text = GetCompanyName();
            break;
        case L'l':
            text = GetLegalCopyright();
            break;
        case L'm':
            text = GetComments();
            break;
        case L'i':
        case L'r':
            text = GetInternalName();
            break;
        case L'g':
            text = IsDebug() ? L"Debug" : L"Release";
            break;
        // The default format cannot hold %V today; should it ever, it expands to nothing
        // rather than recursing without end.
        case L'V':
            text = nested ? CString() : FormatWith(m_strDefaultFormat.c_str(), true);
            break;
        default:
            out += escape;
            out.push_back(c);
            continue;
        }
        out += PadText(text, leftAlign ? -width : width, L' ');
    }
    return out;
}
