// CNVersionInfo reading real files through the platform's file services.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "foundation/CNVersionInfo.h"
#include "foundation/own_file_check.h"
#include "platform/last_error.h"
#include "support/version_resource_builder.h"

TEST(VersionInfo, ReadsFilesAndRefusesDirectoriesAndMissingFiles) {
    BlockBytes resource =
        VersionResource(u"040904b0", {VersionString(u"ProductName", u"Hopwatch")});
    BlockBytes image(200000, 0xCC);
    std::copy(resource.begin(), resource.end(), image.begin() + 131072 + 64);
    char name[] = "/tmp/hopwatch-version-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, image.data(), image.size()), static_cast<ssize_t>(image.size()));
    close(fd);
    CString path(name, name + sizeof(name) - 1);
    CNVersionInfo info;
    EXPECT_TRUE(info.Read(path.c_str()));
    EXPECT_EQ(info.GetRootOffset(), 131072 + 64);
    EXPECT_EQ(info.GetPath(), path);
    EXPECT_EQ(info.GetFileData().m_nSize, image.size());
    EXPECT_EQ(info.GetProductName(), L"Hopwatch");
    std::remove(name);
    EXPECT_FALSE(info.Read(path.c_str()));
    EXPECT_EQ(GetLastSystemError(), 2u);
    EXPECT_FALSE(info.Read(L"/tmp"));
    EXPECT_EQ(GetLastSystemError(), 13u);
    EXPECT_EQ(info.Format(nullptr), L"<n/a>");
}

TEST(OwnFileCheck, AcceptsAWholeExecutableAndRefusesOthers) {
    BlockBytes resource = VersionResource(u"040904b0", {VersionString(u"ProductName", u"H")});
    BlockBytes image(4096, 0);
    image[0] = 'M';
    image[1] = 'Z';
    std::copy(resource.begin(), resource.end(), image.begin() + 1024);
    char name[] = "/tmp/hopwatch-ownfile-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, image.data(), image.size()), static_cast<ssize_t>(image.size()));
    CString path(name, name + sizeof(name) - 1);
    CNVersionInfo info;
    ASSERT_TRUE(info.Read(path.c_str()));
    EXPECT_TRUE(CheckOwnFileIntegrity(info));
    // The file changed after it was looked up: a byte more than the directory said.
    ASSERT_EQ(write(fd, "x", 1), 1);
    EXPECT_FALSE(CheckOwnFileIntegrity(info));
    close(fd);
    // Not an executable.
    image[0] = 'X';
    fd = open(name, O_WRONLY | O_TRUNC);
    ASSERT_EQ(write(fd, image.data(), image.size()), static_cast<ssize_t>(image.size()));
    close(fd);
    ASSERT_TRUE(info.Read(path.c_str()));
    EXPECT_FALSE(CheckOwnFileIntegrity(info));
    std::remove(name);
    CNVersionInfo empty;
    EXPECT_FALSE(CheckOwnFileIntegrity(empty));
}
