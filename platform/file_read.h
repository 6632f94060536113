// Finding one file by name and reading it sequentially: what the version reader needs of the
// system.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/base_types.h"

// What a directory lookup tells about one file; times on the FILETIME scale (100 ns since 1601).
struct SFileFindData {
    DWORD m_dwAttributes = 0;
    std::uint64_t m_creationTime = 0;
    std::uint64_t m_accessTime = 0;
    std::uint64_t m_writeTime = 0;
    std::uint64_t m_nSize = 0;
    CString m_strName;
    CString m_strShortName;
};

const DWORD kFileAttributeDirectory = 0x10; // FILE_ATTRIBUTE_DIRECTORY

// Looks `name` up in its directory (on Windows wildcards may match several entries). Returns 0
// with `data` filled for the first entry, kFindSeveralMatches when more than one entry matches
// (data still holds the first), or the system's error (not found: 2 or 3).
DWORD PlatformFindFile(LPCWSTR name, SFileFindData& data);
const DWORD kFindSeveralMatches = 0xFFFFFFFE;

// A file opened for sequential reading, shared with other readers. Not copyable; one thread.
class CPlatformReadFile {
public:
    CPlatformReadFile() = default;
    CPlatformReadFile(const CPlatformReadFile&) = delete;
    CPlatformReadFile& operator=(const CPlatformReadFile&) = delete;
    ~CPlatformReadFile() { Close(); }

    // 0 or the system's error code.
    DWORD Open(LPCWSTR path);
    // Reads up to `size` bytes; *got is what arrived (0 at the end of the file). 0 or the error.
    DWORD Read(void* buffer, size_t size, size_t* got);
    void Close();

private:
    std::intptr_t m_handle = -1;
};

// The full path of the running executable (at most maxChars characters; on Windows longer paths
// come back cut, as the system cuts them). 0 or the system's error code.
DWORD PlatformGetModuleFileName(CString& out, size_t maxChars);
