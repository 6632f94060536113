// The directory that reports are written to: the user's temporary directory, normalised.
#pragma once

#include "foundation/base_types.h"

// The raw value naming the temporary directory. Windows: the variable TEMP, read in full however
// long it is; FALSE when it is missing or empty. POSIX: TMPDIR, or "/tmp" when that is missing
// or empty. On FALSE `error` holds the system's code.
BOOL ReportTempVariable(CString& value, DWORD& error);

// The directory `raw` names in its canonical form, ending with the separator. Windows: blanks
// trimmed, made absolute, an existing directory under a drive ("C:") or share ("\\server\share")
// root, every component replaced by the name the file system keeps (so 8.3 short names become
// long names). POSIX: made absolute, an existing directory. FALSE (`out` untouched) with the
// system's code in `error` otherwise.
BOOL ReportNormaliseDirectory(const CString& raw, CString& out, DWORD& error);

// ReportTempVariable, then ReportNormaliseDirectory.
BOOL ReportTempDirectory(CString& directory, DWORD& error);

// The length of the root of a Windows path: 2 for a drive ("X:" with X a letter), the length of
// "\\server\share" for a share (both names non-empty and each followed by a backslash), 0 when
// the path has neither root.
int WindowsPathRootLength(const CString& path);
