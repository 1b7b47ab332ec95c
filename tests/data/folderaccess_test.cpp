#include "data/folderaccess.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/tables.h"
#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

using kv::testing::ReadFileBytes;
using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

TEST(FolderAccess, AFolderThatTakesNoFilesIsFoundAndLeftClean) {
    TempDir dir;
    EXPECT_TRUE(FolderIsWritable(dir.path().string()));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_FALSE(FolderIsWritable(dir.File("missing")));
    // Even root cannot create files in /proc.
    EXPECT_FALSE(FolderIsWritable("/proc"));
}

TEST(FolderAccess, ADamagedFileIsRenamedNeverDeletedAndNamesNeverCollide) {
    TempDir dir;
    WriteFileBytes(dir.File("Word.cds"), "first");
    const std::string first = SetDamagedFileAside(dir.File("Word.cds"));
    WriteFileBytes(dir.File("Word.cds"), "second");
    const std::string second = SetDamagedFileAside(dir.File("Word.cds"));
    EXPECT_EQ(first.rfind(dir.File("Word.cds.damaged-"), 0), 0u) << first;
    EXPECT_NE(first, second);
    EXPECT_EQ(ReadFileBytes(first), "first");
    EXPECT_EQ(ReadFileBytes(second), "second");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Word.cds")));
    EXPECT_THROW(SetDamagedFileAside(dir.File("Word.cds")), std::runtime_error);
}

TEST(FolderAccess, TheFailedLoadNamesItsFile) {
    TempDir dir;
    DataTables t;
    EXPECT_ANY_THROW(t.LoadFiles(dir.path()));
    EXPECT_EQ(t.FailedFile(), dir.File(kEngineFile));
}

}  // namespace
}  // namespace kv::data
