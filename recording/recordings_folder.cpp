// The recordings folder: file names from a run's start and target, new files, the size budget.
#include "recording/recordings_folder.h"

#include <algorithm>
#include <string>
#include <vector>

#include "recording/recording_format.h"

namespace {

constexpr size_t kMaxTargetChars = 64;
constexpr int kMaxNameTries = 99;

bool KeptInName(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'.' || c == L'-' || c == L'_';
}

bool Exists(DWORD error) {
    return error == 17 /* EEXIST */ || error == 80 /* ERROR_FILE_EXISTS */ ||
           error == 183 /* ERROR_ALREADY_EXISTS */;
}

} // namespace

CString RecordingFileName(const CNTimeStamp& start, const CString& target) {
    CString safe;
    for (wchar_t c : target) {
        if (safe.size() >= kMaxTargetChars)
            break;
        safe += KeptInName(c) ? c : L'_';
    }
    if (safe.empty())
        safe = L"_";
    return start.Format(L"Hopwatch_%Y%m%d_%H%M%S_") + safe + kRecordingFileSuffix;
}

DWORD CreateRecordingFile(const CString& folder, const CString& name, CPlatformAppendFile& file,
                          CString& path) {
    CString base = name;
    const CString suffix = kRecordingFileSuffix;
    if (base.size() > suffix.size() &&
        base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0)
        base.resize(base.size() - suffix.size());
    DWORD error = 0;
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const CString candidate =
            folder + base + (attempt == 1 ? CString() : L"_" + std::to_wstring(attempt)) + suffix;
        error = file.Create(candidate, TRUE);
        if (error == 0) {
            path = candidate;
            return 0;
        }
        if (!Exists(error))
            break;
    }
    return error;
}

int PruneRecordings(const CString& folder, std::uint64_t budgetBytes, const CString& keepName) {
    std::vector<SPlatformFileEntry> files;
    if (PlatformListFiles(folder, kRecordingFileSuffix, files) != 0)
        return 0;
    std::uint64_t total = 0;
    for (const SPlatformFileEntry& file : files)
        total += file.size;
    // Oldest first; among equal times the name decides, which starts with the start time.
    std::sort(files.begin(), files.end(),
              [](const SPlatformFileEntry& a, const SPlatformFileEntry& b) {
                  return a.writeTime != b.writeTime ? a.writeTime < b.writeTime : a.name < b.name;
              });
    int removed = 0;
    for (const SPlatformFileEntry& file : files) {
        if (total <= budgetBytes)
            break;
        if (file.name == keepName)
            continue;
        if (PlatformRemoveUnusedFile(folder + file.name) == 0) {
            total -= file.size;
            ++removed;
        }
    }
    return removed;
}
