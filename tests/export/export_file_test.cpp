// Writing export files: whole or not at all, the error message, and the file name rule of
// the save dialog.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "data/exportgrid.h"
#include "tests/export/export_samples.h"
#include "tests/support/tempdir.h"

namespace kv::data {
namespace {

using testing::TinyGrid;
using testing::TinyRows;

std::size_t FileCount(const std::filesystem::path& dir) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++count;
    return count;
}

void ExpectCannotCreate(const std::string& path) {
    try {
        ExportGridToFile(ExportFormat::Text, TinyGrid(), TinyRows({{"x", 1}}), path);
        FAIL() << "no error for " << path;
    } catch (const ExportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
    }
}

TEST(ExportFileTest, ReplacesAnExistingFileWhole) {
    kv::testing::TempDir dir;
    const std::string path = dir.File("old.txt");
    kv::testing::WriteFileBytes(path, std::string(1000, 'o'));
    ExportGridToFile(ExportFormat::Text, TinyGrid(), TinyRows({{"x", 1}}), path);
    EXPECT_EQ(kv::testing::ReadFileBytes(path), "A\tB\r\nx\t1");
    EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(ExportFileTest, MissingFolderOrFolderInTheWayRaisesCannotCreate) {
    kv::testing::TempDir dir;
    ExpectCannotCreate(dir.File("no such folder/grid.htm"));
    std::filesystem::create_directory(dir.path() / "taken.htm");
    std::filesystem::create_directory(dir.path() / "taken.htm" / "inner");
    ExpectCannotCreate(dir.File("taken.htm"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.htm" / "inner"));
    EXPECT_EQ(FileCount(dir.path()), 1u);  // no temporary file left behind
}

// A disk that fills up mid-write (here: a file size limit) leaves the old file as it was.
TEST(ExportFileTest, FailedWriteLeavesTheOldFileIntact) {
    kv::testing::TempDir dir;
    const std::string path = dir.File("keep.csv");
    kv::testing::WriteFileBytes(path, "old content");
    std::vector<std::pair<std::string, std::int64_t>> rows(1000, {"keyword", 1});

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    std::string message;
    try {
        ExportGridToFile(ExportFormat::Csv, TinyGrid(), TinyRows(rows), path);
    } catch (const ExportError& e) {
        raised = true;
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedHandler);

    EXPECT_TRUE(raised);
    EXPECT_EQ(message, "Cannot create file " + path);
    EXPECT_EQ(kv::testing::ReadFileBytes(path), "old content");
    EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(ExportFileNameTest, AppendsTheExtensionUnlessTheLastThreeCharactersMatch) {
    struct Case {
        std::string chosen;
        ExportFormat format;
        std::string expected;
    };
    const Case cases[] = {
        {"seo.txt", ExportFormat::Csv, "seo.txt.csv"},
        {"seo.txt", ExportFormat::Text, "seo.txt"},
        {"keywordshtm", ExportFormat::Html, "keywordshtm"},
        {"Report.HTM", ExportFormat::Html, "Report.HTM"},
        {"seo.html", ExportFormat::Html, "seo.html.htm"},
        {"RTF", ExportFormat::Rtf, "RTF"},
        {"xl", ExportFormat::Workbook, "xl.xls"},
        {"", ExportFormat::Text, ".txt"},
        {"/tmp/a b/seo", ExportFormat::Workbook, "/tmp/a b/seo.xls"},
        {"Ключcsv", ExportFormat::Csv, "Ключcsv"},
        {"Клю", ExportFormat::Csv, "Клю.csv"},  // three letters, six bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportFileName(c.chosen, c.format), c.expected) << c.chosen;
}

TEST(ExportFileNameTest, FilterEntriesInOrderWithHtmlFirstChosen) {
    EXPECT_EQ(ExportFormatFromFilterIndex(kExportFirstFilterIndex), ExportFormat::Html);
    const char* extensions[] = {"txt", "csv", "htm", "rtf", "xls"};
    for (int index = 1; index <= 5; ++index) {
        const auto format = ExportFormatFromFilterIndex(index);
        ASSERT_TRUE(format.has_value());
        EXPECT_EQ(ExportExtension(*format), extensions[index - 1]);
        EXPECT_EQ(ExportFormatFromExtension(extensions[index - 1]), format);
        EXPECT_NE(strings::kExportSaveFilter.find(std::string("|*.") + extensions[index - 1]),
                  std::string::npos);
    }
    EXPECT_FALSE(ExportFormatFromFilterIndex(0).has_value());
    EXPECT_FALSE(ExportFormatFromFilterIndex(6).has_value());
    EXPECT_FALSE(ExportFormatFromExtension("html").has_value());
}

}  // namespace
}  // namespace kv::data
