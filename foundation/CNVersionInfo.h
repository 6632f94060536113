// CNVersionInfo: the version resource of an executable file: version numbers, strings, build date.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/CNFileVersionItem.h"
#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"
#include "platform/file_read.h"

// The file is searched for the root block of a version resource, so no resource API is needed
// and the same code reads Windows executables on every platform. Failures set the thread's last
// error (13 no version data, 87 ambiguous name, 30 short read, or the system's code) and leave
// the object empty: strings are then empty and Format gives "<n/a>". One thread at a time; the
// program's own instance is filled at start-up and only read afterwards.
class CNVersionInfo {
public:
    CNVersionInfo() = default;
    CNVersionInfo(const CNVersionInfo&) = delete;
    CNVersionInfo& operator=(const CNVersionInfo&) = delete;
    virtual ~CNVersionInfo() { Clear(); }

    // Reads the version resource of the file `name` names (exactly one directory entry, not a
    // directory), scanning it in 64 KiB chunks.
    BOOL Read(LPCWSTR name);
    // Read of the running executable.
    BOOL ReadOwnModule();
    // Searches a memory image the way Read searches a file (for tests and fuzzing); the path and
    // the file data stay empty.
    BOOL ReadBytes(const BYTE* data, size_t size);

    // Selects the string table of `language` (high 16 bits language, low 16 bits code page).
    // FALSE with 13 when nothing was read; FALSE when there is no such table (strings are then
    // looked for in the whole resource).
    BOOL SelectLanguage(DWORD language);
    // The text value of `key` in the selected string table (or anywhere without one); empty with
    // 13 without data or for a binary value, with 87 when the key is missing.
    CString GetString(const CString& key) const;
    CString GetProductName() const { return GetString(L"ProductName"); }
    CString GetFileDescription() const { return GetString(L"FileDescription"); }
    CString GetFileVersion() const { return GetString(L"FileVersion"); }
    CString GetCompanyName() const { return GetString(L"CompanyName"); }
    CString GetLegalCopyright() const { return GetString(L"LegalCopyright"); }
    CString GetComments() const { return GetString(L"Comments"); }
    CString GetInternalName() const { return GetString(L"InternalName"); }

    // The escape-code format: %a %b %c %d product version parts (with width, '-' and precision
    // as printf's %*.*u), %p %f %v %o %l %m %i %r strings, %g "Debug" or "Release", %V the
    // default format; texts are padded to the width, never cut. Other escapes are copied, an
    // unfinished one at the end is dropped. Without version data: "<n/a>". Null: the default.
    CString Format(LPCWSTR format) const;

    BOOL HasFixedInfo() const { return m_pFixedInfo != nullptr; }
    // Part 0 to 3 (a to d) of the product version; 0 without data.
    WORD GetProductVersionPart(int index) const;
    BOOL IsDebug() const;
    // The file date of the version resource, taken as UTC; unset without one.
    CNTimeStamp GetBuildDate() const;

    const CString& GetPath() const { return m_strPath; }
    const SFileFindData& GetFileData() const { return m_fileData; }
    const CNFileVersionItem* GetRoot() const { return m_pRoot; }
    std::int64_t GetRootOffset() const { return m_rootOffset; }
    DWORD GetLanguage() const { return m_dwLanguage; }
    const CString& GetDefaultFormat() const { return m_strDefaultFormat; }

    static constexpr size_t kChunkBytes = 64 * 1024;

    // Where the scanner's chunks come from: a file or a memory image.
    class CChunkSource {
    public:
        virtual ~CChunkSource() = default;
        // Reads up to `size` bytes into `buffer`; *got 0 means the end. 0 or an error code.
        virtual DWORD Read(BYTE* buffer, size_t size, size_t* got) = 0;
    };

private:
    void Clear();
    BOOL Scan(CChunkSource& source, std::uint64_t size);
    DWORD FixedField(int index) const;
    CString FormatWith(LPCWSTR format, bool nested) const;

    CString m_strPath;
    SFileFindData m_fileData;
    CNFileVersionItem* m_pRoot = nullptr;
    const BYTE* m_pFixedInfo = nullptr; // the root's 52-byte binary value
    DWORD m_dwLanguage = 0x040904B0;
    const CNFileVersionItem* m_pStringTable = nullptr;
    CString m_strDefaultFormat = L"%a.%2.2b.%2.2c";
    std::int64_t m_rootOffset = -1;
};
