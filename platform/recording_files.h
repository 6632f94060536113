// The files of run recordings: their private folder, a file written by appending, listing and
// removing old ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/base_types.h"

// The separator between a folder and a name: '\' on Windows, '/' elsewhere.
extern const wchar_t kPlatformPathSeparator;

// The folder that recordings go to, ending with the separator. Windows:
// %LOCALAPPDATA%\Hopwatch\Recordings\; elsewhere $XDG_STATE_HOME/hopwatch/recordings/ when that
// variable holds an absolute path, else ~/.local/state/hopwatch/recordings/. FALSE with the
// system's code in error when there is no such base (no LOCALAPPDATA, no home). Any thread.
BOOL PlatformRecordingsFolder(CString& folder, DWORD& error);

// Creates folder (ending with the separator or not) and its missing parents. POSIX: created
// owner-only (0700); an existing folder must be a directory of this user, and is made
// owner-only. Windows: the folder the user's own local application data holds; a new last
// component gets an access list of the owner (and the system) only. 0 or the system's code.
DWORD PlatformMakePrivateFolder(const CString& folder);

// A file written from the start by appending, owner-only and never through a link planted at
// its path. While it is open, PlatformRemoveUnusedFile leaves it alone (POSIX: an exclusive
// advisory lock; Windows: it is not shared for deletion). One thread at a time.
class CPlatformAppendFile {
public:
    CPlatformAppendFile() = default;
    CPlatformAppendFile(const CPlatformAppendFile&) = delete;
    CPlatformAppendFile& operator=(const CPlatformAppendFile&) = delete;
    ~CPlatformAppendFile() { Close(); }

    // Creates the file at path: with mustBeNew nothing may exist there yet, without it an
    // existing file is emptied (a link there is refused all the same). 0 or the system's code.
    DWORD Create(const CString& path, BOOL mustBeNew);
    // Writes all size bytes at the end. 0, or the system's code (a full disk: 112 on Windows,
    // ENOSPC elsewhere); after a failure part of the bytes may be in the file.
    DWORD Write(const void* data, std::size_t size);
    // Makes what was written survive a crash of the system. 0 or the system's code.
    DWORD Flush();
    void Close();
    bool IsOpen() const { return m_handle != -1; }

private:
    std::intptr_t m_handle = -1;
};

// One file of a folder listing; writeTime on the FILETIME scale (100 ns since 1601, UTC).
struct SPlatformFileEntry {
    CString name;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
};

// The regular files directly in folder whose names end with suffix (links and folders are
// skipped). 0 or the system's code; a missing folder is an error.
DWORD PlatformListFiles(const CString& folder, const CString& suffix,
                        std::vector<SPlatformFileEntry>& files);

// Deletes the file at path unless a CPlatformAppendFile has it open (then kPlatformFileInUse).
// 0 or the system's code.
DWORD PlatformRemoveUnusedFile(const CString& path);
constexpr DWORD kPlatformFileInUse = 32; // ERROR_SHARING_VIOLATION
