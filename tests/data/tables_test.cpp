#include "data/tables.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/tablefile.h"
#include "tests/support/tempdir.h"
#include "text/textcompare.h"

namespace kv::data {
namespace {

using kv::testing::ReadFileBytes;
using kv::testing::TempDir;
using kv::testing::WriteFileBytes;

void AddWord(DataTables& t, const std::string& word) {
    t.WordClientDataSet.Append();
    t.WordClientDataSet.SetString("word", word);
    t.WordClientDataSet.Post();
}

void WriteEngineFile(const std::string& folder) {
    DataTables t;
    for (const char* name : {"AltaVista", "All The Web", "Google", "MSN", "Teoma"}) {
        t.SE_ClientDataSet.Append();
        t.SE_ClientDataSet.SetString("SEName", name);
        t.SE_ClientDataSet.Post();
    }
    SaveTableFile(t.SE_ClientDataSet, folder + "/SE.cds");
}

class DataTablesTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }
    TempDir dir;
};

TEST_F(DataTablesTest, SchemasMatchTheStoredFields) {
    DataTables t;
    // The designed sixteen, then the optional fields that older files lack.
    const auto& engineFields = t.SE_ClientDataSet.Fields();
    ASSERT_EQ(engineFields.size(), 24u);
    for (std::size_t i = 0; i < engineFields.size(); ++i)
        EXPECT_EQ(engineFields[i].optional, i >= 16) << engineFields[i].name;
    EXPECT_EQ(t.SE_ClientDataSet.FieldIndex("sename"), 0);
    EXPECT_EQ(t.SE_ClientDataSet.Fields()[6].type, FieldType::Word);
    EXPECT_EQ(t.SECacheClientDataSet.FieldIndex("SEName"), 1);
    EXPECT_EQ(t.SECacheClientDataSet.Fields()[4].size, 1500u);
    EXPECT_EQ(t.KeywordRes2ClientDataSet.Fields()[0].size, 50u);
}

// Spelled out here, not through the name constants: files of earlier versions load only while
// the stored column names stay exactly these.
TEST_F(DataTablesTest, StoredColumnNamesKeepTheirSpelling) {
    DataTables t;
    const std::pair<const Table*, std::vector<std::string>> cases[] = {
        {&t.WordClientDataSet, {"word"}},
        {&t.SECacheClientDataSet, {"word", "SENAME", "Rank", "url", "Keywords", "Sources"}},
        {&t.KeywordResClientDataSet, {"Keyword", "Count"}},
        {&t.KeywordRes2ClientDataSet,
         {"Keyword", "Rank", "url", "Keywords", "Keywords2", "Sources"}},
    };
    for (const auto& [table, names] : cases) {
        std::vector<std::string> actual;
        for (const FieldDef& field : table->Fields()) actual.push_back(field.name);
        EXPECT_EQ(actual, names);
    }
}

TEST_F(DataTablesTest, HistoryIsAlphabeticalAndTheCacheFollowsIt) {
    DataTables t;
    AddWord(t, "red shoes");
    AddWord(t, "blue hats");
    t.WordClientDataSet.First();
    EXPECT_EQ(t.WordClientDataSet.AsString("word"), "blue hats");
    t.SECacheClientDataSet.Append();
    t.SECacheClientDataSet.SetString("url", "http://hats/");
    t.SECacheClientDataSet.Post();
    t.WordClientDataSet.Locate("word", "red shoes");
    EXPECT_EQ(t.SECacheClientDataSet.RecordCount(), 0);
    t.WordClientDataSet.Locate("word", "blue hats");
    ASSERT_EQ(t.SECacheClientDataSet.RecordCount(), 1);
    EXPECT_EQ(t.SECacheClientDataSet.AsString("word"), "blue hats");
}

TEST_F(DataTablesTest, FirstStartWithOnlyTheEngineFileCreatesTheOthersAtShutdown) {
    WriteEngineFile(dir.path());
    DataTables t;
    t.LoadFiles(dir.path());
    EXPECT_EQ(t.SE_ClientDataSet.RecordCount(), 5);
    EXPECT_EQ(t.WordClientDataSet.RecordCount(), 0);
    AddWord(t, "seo");
    t.SaveFiles(dir.path());
    EXPECT_TRUE(std::filesystem::exists(dir.File("Word.cds")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("SECache.cds")));

    DataTables again;
    again.LoadFiles(dir.path());
    EXPECT_EQ(again.WordClientDataSet.RecordCount(), 1);
}

TEST_F(DataTablesTest, MissingEngineFileSkipsTheLaterLoadsAndProtectsTheirFiles) {
    {
        DataTables t;
        AddWord(t, "keep me");
        SaveTableFile(t.WordClientDataSet, dir.File("Word.cds"));
    }
    const std::string history = ReadFileBytes(dir.File("Word.cds"));
    DataTables t;
    try {
        t.LoadFiles(dir.path());
        FAIL() << "no error";
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir.File("SE.cds"));
    }
    EXPECT_EQ(t.WordClientDataSet.RecordCount(), 0);
    t.SaveFiles(dir.path());
    EXPECT_EQ(ReadFileBytes(dir.File("Word.cds")), history);
    EXPECT_FALSE(std::filesystem::exists(dir.File("SECache.cds")));
}

TEST_F(DataTablesTest, KeywordsOfAHundredCharactersSurviveSaveAndLoad) {
    WriteEngineFile(dir.path());
    const std::string longTail(100, 'k');
    {
        DataTables t;
        AddWord(t, longTail);
        AddWord(t, std::string(30, 'o'));  // as an older file holds it
        t.WordClientDataSet.Locate("word", longTail);
        t.SECacheClientDataSet.Append();
        t.SECacheClientDataSet.SetString("url", "http://a/");
        t.SECacheClientDataSet.Post();
        t.SaveFiles(dir.path());
    }
    DataTables t;
    t.LoadFiles(dir.path());
    ASSERT_TRUE(t.WordClientDataSet.Locate("word", longTail));
    ASSERT_EQ(t.SECacheClientDataSet.RecordCount(), 1);
    EXPECT_EQ(t.SECacheClientDataSet.AsString("word"), longTail);
    EXPECT_TRUE(t.WordClientDataSet.Locate("word", std::string(30, 'o')));
}

TEST_F(DataTablesTest, DamagedCacheFileIsNeverOverwritten) {
    WriteEngineFile(dir.path());
    WriteFileBytes(dir.File("SECache.cds"), "garbage that someone may still want");
    DataTables t;
    EXPECT_THROW(t.LoadFiles(dir.path()), TableError);
    EXPECT_FALSE(t.CacheMayBeSaved());
    EXPECT_FALSE(t.HistoryMayBeSaved());
    t.SaveFiles(dir.path());
    EXPECT_EQ(ReadFileBytes(dir.File("SECache.cds")), "garbage that someone may still want");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Word.cds")));
}

TEST_F(DataTablesTest, DamagedHistoryKeepsItsFileButTheCacheIsSaved) {
    WriteEngineFile(dir.path());
    WriteFileBytes(dir.File("Word.cds"), "broken");
    DataTables t;
    EXPECT_THROW(t.LoadFiles(dir.path()), TableError);
    EXPECT_TRUE(t.CacheMayBeSaved());
    t.SaveFiles(dir.path());
    EXPECT_EQ(ReadFileBytes(dir.File("Word.cds")), "broken");
    EXPECT_TRUE(std::filesystem::exists(dir.File("SECache.cds")));
}

}  // namespace
}  // namespace kv::data

namespace kv::data {
namespace {

// The engine definitions shipped in the program folder load as a table file.
TEST(ShippedEngineFileTest, LoadsWithTheFiveEngines) {
    DataTables t;
    LoadTableFile(t.SE_ClientDataSet, std::string(KELVANE_TEST_BIN_DIR) + "/demo-engines/SE.cds");
    std::vector<std::string> names;
    auto& se = t.SE_ClientDataSet;
    for (se.First(); !se.Eof(); se.Next()) names.push_back(se.AsString("SEName"));
    EXPECT_EQ(names,
              (std::vector<std::string>{"AltaVista", "All The Web", "Google", "MSN", "Teoma"}));
    // That file has the designed sixteen fields only: the optional ones read as null.
    se.First();
    EXPECT_TRUE(se.IsNull(se.FieldIndex("GetUrlUnwrapRegExpr")));
    EXPECT_EQ(se.AsInteger("MinSecondsBetweenRequests"), 0);
    EXPECT_FALSE(se.AsBoolean("NextSearchIsForm"));
}

}  // namespace
}  // namespace kv::data
