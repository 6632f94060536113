// The start-up self-check of the program's own executable file.
#include "foundation/own_file_check.h"

#include <vector>

#include "platform/file_read.h"

BOOL CheckOwnFileIntegrity(const CNVersionInfo& version) {
    if (version.GetPath().empty() || version.GetRootOffset() < 0)
        return FALSE;
    CPlatformReadFile file;
    if (file.Open(version.GetPath().c_str()) != 0)
        return FALSE;
    std::vector<BYTE> chunk(CNVersionInfo::kChunkBytes);
    std::uint64_t total = 0;
    bool signature = false;
    for (;;) {
        size_t got = 0;
        if (file.Read(chunk.data(), chunk.size(), &got) != 0)
            return FALSE;
        if (got == 0)
            break;
        if (total == 0)
            signature = got >= 2 && chunk[0] == 'M' && chunk[1] == 'Z';
        total += got;
    }
    return signature && total == version.GetFileData().m_nSize &&
                   static_cast<std::uint64_t>(version.GetRootOffset()) < total
               ? TRUE
               : FALSE;
}
