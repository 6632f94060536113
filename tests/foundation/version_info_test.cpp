// CNVersionInfo and CNFileVersionItem: finding, parsing and formatting a version resource.
#include <gtest/gtest.h>

#include <string>

#include "foundation/CNVersionInfo.h"
#include "foundation/about_box_text.h"
#include "platform/last_error.h"
#include "support/version_resource_builder.h"

namespace {

std::vector<BlockBytes> AllStrings() {
    return {VersionString(u"ProductName", u"Hopwatch"),
            VersionString(u"CompanyName", u"ORVANE"),
            VersionString(u"LegalCopyright", u"(c) the makers"),
            VersionString(u"Comments", u""),
            VersionString(u"InternalName", u"hopwatch"),
            VersionString(u"FileVersion", u"1.5.19.0")};
}

// The resource at `offset` (a multiple of 4) inside `size` bytes of filler.
BlockBytes Embedded(const BlockBytes& resource, size_t offset, size_t size) {
    BlockBytes image(size, 0xCC);
    std::copy(resource.begin(), resource.end(), image.begin() + offset);
    return image;
}

} // namespace

TEST(VersionInfo, FindsTheResourceAcrossChunkBoundariesAndReadsIt) {
    BlockBytes resource = VersionResource(u"040904b0", AllStrings(), 1);
    // Straddling the first chunk boundary, inside the last (short) chunk, and at offset 0.
    for (size_t offset : {size_t(65536 - 40), size_t(3 * 65536 + 100), size_t(0)}) {
        BlockBytes image = Embedded(resource, offset, offset + resource.size() + 12);
        CNVersionInfo info;
        ASSERT_TRUE(info.ReadBytes(image.data(), image.size())) << offset;
        EXPECT_EQ(info.GetRootOffset(), static_cast<std::int64_t>(offset));
        EXPECT_EQ(GetLastSystemError(), 0u);
        EXPECT_TRUE(info.HasFixedInfo());
        EXPECT_EQ(info.GetProductName(), L"Hopwatch");
        EXPECT_EQ(info.GetCompanyName(), L"ORVANE");
        EXPECT_EQ(info.GetInternalName(), L"hopwatch");
        EXPECT_EQ(info.GetProductVersionPart(0), 1);
        EXPECT_EQ(info.GetProductVersionPart(2), 19);
        EXPECT_TRUE(info.IsDebug());
    }
    // Keys of strings ignore case, the root's key does not.
    CNVersionInfo info;
    ASSERT_TRUE(info.ReadBytes(resource.data(), resource.size()));
    EXPECT_EQ(info.GetString(L"productname"), L"Hopwatch");
    EXPECT_EQ(info.GetString(L"Missing"), L"");
    EXPECT_EQ(GetLastSystemError(), 87u);
    EXPECT_EQ(info.GetString(L"Comments"), L"");
    EXPECT_EQ(GetLastSystemError(), 0u);
    BlockBytes lower = resource;
    lower[6] = 'v'; // "vS_VERSION_INFO"
    EXPECT_FALSE(info.ReadBytes(lower.data(), lower.size()));
    EXPECT_EQ(GetLastSystemError(), 13u);
}

TEST(VersionInfo, FormatEscapes) {
    BlockBytes resource = VersionResource(u"040904b0", AllStrings());
    CNVersionInfo info;
    ASSERT_TRUE(info.ReadBytes(resource.data(), resource.size()));
    EXPECT_EQ(info.Format(nullptr), L"1.05.19");
    EXPECT_EQ(info.Format(L"%V"), L"1.05.19");
    EXPECT_EQ(info.Format(L"%a.%b.%c.%d"), L"1.5.19.0");
    EXPECT_EQ(info.Format(L"[%5a]"), L"[    1]");
    EXPECT_EQ(info.Format(L"[%-5a]"), L"[1    ]");
    EXPECT_EQ(info.Format(L"[%6.3c]"), L"[   019]");
    EXPECT_EQ(info.Format(L"[%0d]"), L"[0]");
    EXPECT_EQ(info.Format(L"100%%"), L"100%%");
    EXPECT_EQ(info.Format(L"%p %g"), L"Hopwatch Release");
    EXPECT_EQ(info.Format(L"[%10p][%-10i][%3o]"), L"[  Hopwatch][hopwatch  ][ORVANE]");
    EXPECT_EQ(info.Format(L"%r=%i %v %l%m|%f|"), L"hopwatch=hopwatch 1.5.19.0 (c) the makers||");
    EXPECT_EQ(info.Format(L"%-4.2q and %z"), L"%-4.2q and %z");
    // Unfinished escapes at the end are dropped.
    EXPECT_EQ(info.Format(L"x%"), L"x");
    EXPECT_EQ(info.Format(L"x%-12"), L"x");
    EXPECT_EQ(info.Format(L"x%3.4"), L"x");
    // Absurd widths are capped instead of exhausting memory.
    EXPECT_LE(info.Format(L"%99999999999999a").size(), 4096u);
}

TEST(VersionInfo, WithoutTheUsualStringTableTheKeysAreFoundAnywhere) {
    BlockBytes resource = VersionResource(u"040704b0", AllStrings());
    CNVersionInfo info;
    ASSERT_TRUE(info.ReadBytes(resource.data(), resource.size()));
    EXPECT_EQ(info.GetLanguage(), 0x040904B0u);
    EXPECT_EQ(info.GetProductName(), L"Hopwatch");
    EXPECT_FALSE(info.SelectLanguage(0x040904B0));
    EXPECT_TRUE(info.SelectLanguage(0x040704B0));
    EXPECT_EQ(info.GetCompanyName(), L"ORVANE");
    // Binary values are no strings.
    EXPECT_EQ(info.GetString(L"Translation"), L"");
    info.SelectLanguage(0x0);
    EXPECT_EQ(info.GetString(L"Translation"), L"");
    EXPECT_EQ(GetLastSystemError(), 13u);
}

TEST(VersionInfo, NoOrDamagedResourceLeavesItEmpty) {
    BlockBytes resource = VersionResource(u"040904b0", AllStrings());
    BlockBytes truncated(resource.begin(), resource.end() - 8);
    BlockBytes badChild = resource;
    // The first child's type field (StringFileInfo) becomes 2.
    size_t child = 6 + 2 * 16 + 2 + 52; // header, key and NUL, padding, fixed info
    child = (child + 3) & ~size_t(3);
    badChild[child + 4] = 2;
    BlockBytes garbage(70000, 0x00);
    for (const BlockBytes* bytes : {&truncated, &badChild, &garbage}) {
        CNVersionInfo info;
        EXPECT_FALSE(info.ReadBytes(bytes->data(), bytes->size()));
        EXPECT_EQ(GetLastSystemError(), 13u);
        EXPECT_EQ(info.Format(L"%a"), L"<n/a>");
        EXPECT_EQ(info.GetProductName(), L"");
        EXPECT_EQ(GetLastSystemError(), 13u);
        EXPECT_FALSE(info.GetBuildDate().IsSet());
        EXPECT_EQ(AboutBoxCaption(info), L"About ");
        EXPECT_EQ(AboutBoxBody(info), L"<n/a>");
    }
    CNVersionInfo empty;
    EXPECT_FALSE(empty.ReadBytes(nullptr, 10));
    EXPECT_FALSE(empty.SelectLanguage(0x040904B0));
    EXPECT_EQ(GetLastSystemError(), 13u);
}

TEST(VersionInfo, HostileNestingAndLongSiblingChainsAreSafe) {
    BlockBytes deep = VersionString(u"k", u"v");
    for (int i = 0; i < 40; ++i)
        deep = VersionBlock(u"n", 1, {}, 0, {deep});
    const BYTE* position = deep.data();
    size_t left = deep.size();
    EXPECT_EQ(CNFileVersionItem::Parse(position, left, nullptr), nullptr);
    EXPECT_EQ(position, deep.data());
    EXPECT_EQ(left, deep.size());

    std::vector<BlockBytes> many(5000, VersionBlock(u"", 0, {}, 0));
    BlockBytes wide = VersionBlock(u"w", 0, {}, 0, many);
    position = wide.data();
    left = wide.size() + 4;
    CNFileVersionItem* item = CNFileVersionItem::Parse(position, left, L"w");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(left, 4u);
    EXPECT_EQ(item->Find(L"", FALSE), item->GetFirstChild());
    delete item;
}

TEST(VersionInfo, AboutBoxText) {
    // 2024-03-05 06:07:08 UTC on the FILETIME scale.
    const std::uint64_t date = 133540924280000000ull;
    BlockBytes resource = VersionResource(u"040904b0", AllStrings(), 0, date);
    CNVersionInfo info;
    ASSERT_TRUE(info.ReadBytes(resource.data(), resource.size()));
    EXPECT_EQ(info.GetBuildDate().GetValue(), date);
    EXPECT_EQ(AboutBoxCaption(info), L"About hopwatch");
    CString body = AboutBoxBody(info);
    const CString head = L"Hopwatch\r\nRelease V1.5.19.0\r\nORVANE\r\n(c) the makers\r\n";
    ASSERT_EQ(body.substr(0, head.size()), head); // the empty comment leaves no line
    // The date in local time; the zone is the machine's, the form is fixed.
    CString built = body.substr(head.size());
    ASSERT_EQ(built.size(), 29u) << std::string(built.begin(), built.end());
    EXPECT_EQ(built.substr(0, 9), L"Built on ");
    EXPECT_EQ(built.substr(9, 4), L"2024");
    EXPECT_EQ(built[13], L'-');
}

TEST(VersionInfo, AboutBoxTextExtentFitsTheWidestLineAndAllHeights) {
    const int widths[] = {120, 300, 0};
    const int heights[] = {13, 13, 13};
    int width = 0, height = 0;
    AboutBoxTextExtent(widths, heights, 3, &width, &height);
    EXPECT_EQ(width, 308);
    EXPECT_EQ(height, 64); // 47 is below the minimum
    const int tall[] = {20, 20, 20, 20};
    AboutBoxTextExtent(widths, tall, 3, &width, &height);
    EXPECT_EQ(height, 68);
    AboutBoxTextExtent(widths, tall, 0, &width, &height);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 64);
}
