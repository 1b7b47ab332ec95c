#include "data/tablefile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "data/replacementfile.h"
#include "data/tables.h"
#include "tests/support/tempdir.h"
#include "text/textcompare.h"

namespace kv::data {
namespace {

using kv::testing::ReadFileBytes;
using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

void Exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

void AddCacheRow(Table& cache, const std::string& word, const std::string& engine, int rank,
                 const std::string& url, const std::string& keywords) {
    cache.Append();
    cache.SetString("word", word);
    cache.SetString("SENAME", engine);
    cache.SetInteger("Rank", rank);
    cache.SetString("url", url);
    cache.SetString("Keywords", keywords);
    cache.Post();
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const TableError& e) {
        return e.what();
    }
    return "";
}

class TableFileTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }
    TempDir dir;
    Table cache{"SECache",
                {{"word", FieldType::String, 30},
                 {"SENAME", FieldType::String, 30},
                 {"Rank", FieldType::Integer, 0},
                 {"url", FieldType::String, 255},
                 {"Keywords", FieldType::String, 1500}}};
};

TEST_F(TableFileTest, RoundTripKeepsRowsValuesAndOrder) {
    AddCacheRow(cache, "shoes", "Google", 2, "http://b.example/", "seo, ä€😀");
    AddCacheRow(cache, "shoes", "MSN", 1, "http://a.example/", "");
    AddCacheRow(cache, "hats", "Teoma", -7, "http://c.example/", std::string(1500, 'k'));
    cache.Append();  // a pending edit is committed by the save
    cache.SetString("word", "pending");
    const std::string path = dir.File("SECache.cds");
    SaveTableFile(cache, path);

    Table loaded{"SECache", cache.Fields()};
    LoadTableFile(loaded, path);
    ASSERT_EQ(loaded.RecordCount(), 4);
    loaded.First();
    EXPECT_EQ(loaded.AsString("Keywords"), "seo, ä€😀");
    EXPECT_EQ(loaded.AsInteger("Rank"), 2);
    loaded.Next();
    EXPECT_TRUE(loaded.AsString("Keywords").empty());
    loaded.Next();
    EXPECT_EQ(loaded.AsInteger("Rank"), -7);
    EXPECT_EQ(loaded.AsString("Keywords").size(), 1500u);
    loaded.Next();
    EXPECT_EQ(loaded.AsString("word"), "pending");
    EXPECT_TRUE(loaded.IsNull(loaded.FieldIndex("url")));
}

TEST_F(TableFileTest, FileIsOneSqliteTableNamedAfterTheFile) {
    AddCacheRow(cache, "w", "Google", 1, "u", "k");
    const std::string path = dir.File("SECache.cds");
    SaveTableFile(cache, path);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(
                  db, "SELECT word, SENAME, Rank, url, Keywords, typeof(Rank) FROM SECache", -1,
                  &stmt, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)), "Google");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 5)), "integer");
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

TEST_F(TableFileTest, LoadCutsOverlongValuesAndReadsColumnNamesIgnoringCase) {
    const std::string path = dir.File("SECache.cds");
    Exec(path,
         "CREATE TABLE secache (WORD TEXT, sename TEXT, rank INTEGER, URL TEXT, keywords TEXT);"
         "INSERT INTO secache VALUES ('" +
             std::string(40, 'w') + "', 'G', 3, 'u', 'k');");
    LoadTableFile(cache, path);
    cache.First();
    EXPECT_EQ(cache.AsString("word"), std::string(30, 'w'));
}

TEST_F(TableFileTest, MissingFileCannotBeOpened) {
    const std::string path = dir.File("SE.cds");
    EXPECT_EQ(ErrorOf([&] { LoadTableFile(cache, path); }), "Cannot open file " + path);
}

TEST_F(TableFileTest, DamagedOrForeignFilesRaiseAnErrorNamingTheFileAndKeepTheRows) {
    AddCacheRow(cache, "keep", "Google", 1, "u", "k");
    const std::string path = dir.File("SECache.cds");
    struct Case {
        const char* what;
        std::function<void()> make;
    };
    const std::vector<Case> cases{
        {"text file", [&] { WriteFileBytes(path, "this is not a database\n"); }},
        {"empty file", [&] { WriteFileBytes(path, ""); }},
        {"other table", [&] { Exec(path, "CREATE TABLE Other (x TEXT)"); }},
        {"missing column", [&] { Exec(path, "CREATE TABLE SECache (word TEXT, SENAME TEXT)"); }},
        {"text in integer field",
         [&] {
             Exec(path,
                  "CREATE TABLE SECache (word, SENAME, Rank, url, Keywords);"
                  "INSERT INTO SECache VALUES ('w','G','first','u','k')");
         }},
        {"integer out of range",
         [&] {
             Exec(path,
                  "CREATE TABLE SECache (word, SENAME, Rank, url, Keywords);"
                  "INSERT INTO SECache VALUES ('w','G',9999999999,'u','k')");
         }},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path);
        c.make();
        const std::string before = ReadFileBytes(path);
        const std::string error = ErrorOf([&] { LoadTableFile(cache, path); });
        EXPECT_NE(error.find(path), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(cache.RecordCount(), 1) << c.what;
        EXPECT_EQ(ReadFileBytes(path), before) << c.what;
    }
    // A truncated database.
    std::filesystem::remove(path);
    for (int i = 0; i < 2000; ++i)
        AddCacheRow(cache, "keep", "G", i, "http://x/" + std::to_string(i), std::string(200, 'k'));
    SaveTableFile(cache, path);
    const std::string whole = ReadFileBytes(path);
    WriteFileBytes(path, whole.substr(0, whole.size() / 2));
    EXPECT_NE(ErrorOf([&] { LoadTableFile(cache, path); }).find(path), std::string::npos);
    EXPECT_EQ(cache.RecordCount(), 2001);
}

TEST_F(TableFileTest, FailedSaveLeavesTheOldFileWhole) {
    const std::string path = dir.File("SECache.cds");
    AddCacheRow(cache, "old", "Google", 1, "u", "k");
    SaveTableFile(cache, path);
    const std::string before = ReadFileBytes(path);

    for (int i = 0; i < 5000; ++i)
        AddCacheRow(cache, "new", "G", i, "http://x/", std::string(300, 'n'));
    // A disk that fills up: the process may not write files past 64 KiB.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = ErrorOf([&] { SaveTableFile(cache, path); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(error, "Cannot create file " + path);
    EXPECT_EQ(ReadFileBytes(path), before);
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(TableFileTest, SaveIntoAMissingFolderFails) {
    const std::string path = dir.File("nowhere/SECache.cds");
    EXPECT_EQ(ErrorOf([&] { SaveTableFile(cache, path); }), "Cannot create file " + path);
}

TEST_F(TableFileTest, SaveKeepsTheOldFilesPermissions) {
    const std::string path = dir.File("SECache.cds");
    SaveTableFile(cache, path);
    chmod(path.c_str(), 0600);
    SaveTableFile(cache, path);
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A cache cut short by a crash once loaded as rows of NULLs, and the next save made that
// permanent: it is refused, and DataTables then never replaces it.
TEST_F(TableFileTest, ATruncatedCacheIsRefusedAndLeftByteForByte) {
    DataTables tables;
    for (int i = 0; i < 3000; ++i)
        AddCacheRow(tables.SECacheClientDataSet, "shoes", "G", i, "http://x/" + std::to_string(i),
                    std::string(300, 'k'));
    const std::string path = dir.File("SECache.cds");
    SaveTableFile(tables.SECacheClientDataSet, path);
    Exec(dir.File("SE.cds"),
         "CREATE TABLE SE (SEName, PrepareSearchURL, StartSearchBody, "
         "StartSearchURL, PostMethod, NextSearchFirstPartUrl, "
         "NextSearchCombineUrlType, NextSearchRegExpr, "
         "NextSearchNextSearchString, CheckHtmlCheckText, "
         "GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, "
         "GetUrlRemoveHtml, GetUrlDecodeUrlCode, GetUrlDecodeUrlPercent)");
    const std::string whole = ReadFileBytes(path);
    for (const std::size_t keep : {whole.size() * 9 / 10, whole.size() / 3}) {
        WriteFileBytes(path, whole.substr(0, keep));
        DataTables loaded;
        const std::string error = ErrorOf([&] { loaded.LoadFiles(dir.path().string()); });
        EXPECT_NE(error.find(path), std::string::npos) << error;
        loaded.SaveFiles(dir.path().string());
        EXPECT_EQ(ReadFileBytes(path), whole.substr(0, keep));
    }
}

// A save killed half-way leaves "<file>.saving-XXXXXX" behind (one was 123 MB): the next load
// or save of that file removes it, but never a file another save is still writing.
TEST_F(TableFileTest, StaleSavingFilesGoAtTheNextLoadOrSave) {
    const std::string path = dir.File("SECache.cds");
    AddCacheRow(cache, "w", "G", 1, "u", "k");
    SaveTableFile(cache, path);
    for (const bool byLoad : {true, false}) {
        WriteFileBytes(path + ".saving-abc123", std::string(1000, 'x'));
        WriteFileBytes(path + ".saving-other", "not ours: other name shape");
        ReplacementFile writing(path);  // a save in progress
        ASSERT_TRUE(writing.Valid());
        if (byLoad)
            LoadTableFile(cache, path);
        else
            SaveTableFile(cache, path);
        EXPECT_FALSE(std::filesystem::exists(path + ".saving-abc123")) << byLoad;
        EXPECT_TRUE(std::filesystem::exists(path + ".saving-other")) << byLoad;
        EXPECT_TRUE(std::filesystem::exists(writing.TemporaryPath())) << byLoad;
    }
}

}  // namespace
}  // namespace kv::data

namespace kv::data {
namespace {

// Cache files written before the sources column existed load unchanged; the next save adds it.
TEST(TableFileOptionalField, OldCacheFilesLoadAndGainTheColumnOnSave) {
    text::SetCollationLocale("en_US");
    TempDir dir;
    const std::string path = dir.File("SECache.cds");
    Exec(path,
         "CREATE TABLE SECache (word TEXT, SENAME TEXT, Rank INTEGER, url TEXT, Keywords TEXT);"
         "INSERT INTO SECache VALUES ('red shoes', 'Google', 1, 'http://a/', 'seo, shoes');");
    const std::string before = ReadFileBytes(path);
    DataTables tables;
    Table& cache = tables.SECacheClientDataSet;
    LoadTableFile(cache, path);
    EXPECT_EQ(ReadFileBytes(path), before);
    ASSERT_EQ(cache.StoredRows().size(), 1u);
    const auto& cells = cache.StoredRows()[0]->cells;
    EXPECT_EQ(*cells[static_cast<std::size_t>(cache.FieldIndex("Keywords"))].text, "seo, shoes");
    EXPECT_TRUE(cells[static_cast<std::size_t>(cache.FieldIndex("Sources"))].null);

    SaveTableFile(cache, path);
    Table reread("SECache", cache.Fields());
    LoadTableFile(reread, path);
    EXPECT_TRUE(reread.StoredRows()[0]->cells[5].null);
    // A field that is not optional is still required.
    Table strict("SECache", {{"word", FieldType::String, 30}, {"Missing", FieldType::String, 9}});
    EXPECT_NE(ErrorOf([&] { LoadTableFile(strict, path); }).find("the field Missing is missing"),
              std::string::npos);
}

}  // namespace
}  // namespace kv::data
