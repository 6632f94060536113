// libFuzzer target: arbitrary bytes into the version-resource scanner, the block parser, the string
// lookups and the escape-code formatter.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/CNVersionInfo.h"
#include "foundation/about_box_text.h"

namespace {

// Walks a parsed tree the way the lookups do, touching every key and text.
size_t Walk(const CNFileVersionItem* item, int depth) {
    size_t sum = 0;
    for (; item != nullptr; item = item->GetNext()) {
        sum += item->GetKey().size() + item->GetText().size();
        if (depth < CNFileVersionItem::kMaxDepth + 2)
            sum += Walk(item->GetFirstChild(), depth + 1);
    }
    return sum;
}

void Exercise(const CNVersionInfo& info, const CString& format) {
    info.Format(format.c_str());
    info.Format(nullptr);
    AboutBoxCaption(info);
    AboutBoxBody(info);
    info.GetString(L"Translation");
    Walk(info.GetRoot(), 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The last bytes, one character each, as a format: escapes, widths and precisions.
    CString format;
    for (size_t i = size > 24 ? size - 24 : 0; i < size; ++i)
        format.push_back(static_cast<wchar_t>(data[i] == 0 ? L'%' : data[i]));

    // 1. The bytes as one block of any key.
    const BYTE* position = data;
    size_t left = size;
    CNFileVersionItem* item = CNFileVersionItem::Parse(position, left, nullptr);
    if (item != nullptr) {
        Walk(item, 0);
        item->Find(L"StringFileInfo", TRUE);
        delete item;
    }

    // 2. The bytes as a file image searched for the resource.
    CNVersionInfo info;
    info.ReadBytes(data, size);
    Exercise(info, format);

    // 3. The bytes as the content of a root block, so the fuzzer need not find the root's key
    // and its fixed information by itself.
    static const char16_t kKey[] = u"VS_VERSION_INFO";
    std::vector<BYTE> root(40);
    size_t total = root.size() + size;
    if (total > 0xFFFF)
        total = 0xFFFF;
    root[0] = static_cast<BYTE>(total & 0xFF);
    root[1] = static_cast<BYTE>(total >> 8);
    root[2] = 52; // value length of the fixed information
    for (size_t i = 0; i < 15; ++i)
        root[6 + 2 * i] = static_cast<BYTE>(kKey[i]);
    root.insert(root.end(), data, data + (total - 40));
    if (info.ReadBytes(root.data(), root.size())) {
        Exercise(info, format);
        info.SelectLanguage(size > 4 ? data[0] | (data[1] << 8) | (data[2] << 16) : 0);
        Exercise(info, format);
    }
    return 0;
}
