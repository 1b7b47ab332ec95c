#include "data/folderlock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

TEST(FolderLockTest, OneRunAtATimeAndAReadOnlyFolderIsNotBusy) {
    testing::TempDir dir;
    {
        const FolderLock first(dir.path().string());
        EXPECT_FALSE(first.Busy());
        EXPECT_TRUE(FolderLock(dir.path().string()).Busy());
    }
    EXPECT_FALSE(FolderLock(dir.path().string()).Busy());  // released with the first

    const std::string readOnly = dir.File("ro");
    ASSERT_EQ(mkdir(readOnly.c_str(), 0555), 0);
    EXPECT_FALSE(FolderLock(readOnly).Busy());
}

}  // namespace
}  // namespace kv::data
