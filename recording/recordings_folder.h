// The recordings folder: file names from a run's start and target, new files, the size budget.
#pragma once

#include <cstdint>

#include "foundation/CNTimeStamp.h"
#include "foundation/base_types.h"
#include "platform/recording_files.h"

// "Hopwatch_YYYYMMDD_HHMMSS_<target>.hwrec" for a run started at start (local time) on target;
// the target keeps letters, digits, '.', '-' and '_' (anything else becomes '_') and at most 64
// characters.
CString RecordingFileName(const CNTimeStamp& start, const CString& target);

// Creates a new recording in folder (which must exist) under name, or, when that is taken, under
// the name with "_2" ... "_99" before its ending. 0 with file open and path set, or the system's
// code of the last attempt.
DWORD CreateRecordingFile(const CString& folder, const CString& name, CPlatformAppendFile& file,
                          CString& path);

// Removes the oldest recordings of folder (by their last write) until what is left, the file
// named keepName included, fits in budgetBytes. The file keepName and files that a writer holds
// open are never removed. Returns how many were removed.
int PruneRecordings(const CString& folder, std::uint64_t budgetBytes, const CString& keepName);
