// Engine definitions as SQL text: export and import round trip, and imports that must change
// nothing because a pattern, a field or the file itself is bad.
#include "detect/enginesql.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/enginefields.h"
#include "data/tablefile.h"
#include "data/tables.h"
#include "detect/keywordrules.h"
#include "tests/support/tempdir.h"

namespace kv::detect {
namespace {

namespace f = data::se_fields;

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Shipped() {
    return std::string(KELVANE_TEST_BIN_DIR) + "/SE.cds";
}

// The designed columns only, as the first release wrote them.
constexpr const char* kDesignedTable =
    "CREATE TABLE SE (SEName TEXT, PrepareSearchURL TEXT, StartSearchBody TEXT, "
    "StartSearchURL TEXT, PostMethod INTEGER, NextSearchFirstPartUrl TEXT, "
    "NextSearchCombineUrlType INTEGER, NextSearchRegExpr TEXT, NextSearchNextSearchString TEXT, "
    "CheckHtmlCheckText TEXT, GetTextTotalTextRegExpr TEXT, GetTextRegExpr TEXT, "
    "GetUrlRegExpr TEXT, GetUrlRemoveHtml INTEGER, GetUrlDecodeUrlCode INTEGER, "
    "GetUrlDecodeUrlPercent INTEGER);\n";

std::string Row(const std::string& name, const std::string& item) {
    return "INSERT INTO SE VALUES ('" + name + "', '', '', 'https://" + name +
           ".example/?q=@@@', 0, '', 0, '', '', '', '', '" + item +
           "', 'href=\"([^\"]+)\"', 0, 1, 0);\n";
}

TEST(EngineSqlTest, ExportThenImportGivesTheSameTable) {
    data::Table shipped("SE", data::EngineTableFields());
    data::LoadTableFile(shipped, Shipped());
    const std::string sql = WriteEngineSql(shipped);
    EXPECT_NE(sql.find("' || char(13, 10) || '"), std::string::npos);  // pattern lines stay apart
    data::Table again("SE", data::EngineTableFields());
    ReadEngineSql(sql, again);
    EXPECT_EQ(WriteEngineSql(again), sql);
    ASSERT_EQ(again.StoredRows().size(), shipped.StoredRows().size());
}

TEST(EngineSqlTest, ImportReplacesRowsByNameAndKeepsTheOthers) {
    testing::TempDir dir;
    const std::string cds = dir.File("SE.cds");
    std::filesystem::copy_file(Shipped(), cds);
    Write(dir.File("new.sql"), std::string(kDesignedTable) + Row("Mojeek", "<li>(.*?)</li>") +
                                   Row("Another", "<p>(.*?)</p>"));
    EXPECT_EQ(ImportEngineFile(dir.File("new.sql"), cds),
              (std::vector<std::string>{"Mojeek", "Another"}));
    data::Table se("SE", data::EngineTableFields());
    data::LoadTableFile(se, cds);
    std::vector<std::string> names;
    for (se.First(); !se.Eof(); se.Next()) names.push_back(se.AsString(f::SEName));
    EXPECT_EQ(names, (std::vector<std::string>{"DuckDuckGo", "DuckDuckGo Lite", "Mojeek",
                                               "Brave Search", "SearXNG", "Another"}));
    ASSERT_TRUE(se.Locate(f::SEName, "Mojeek"));
    EXPECT_EQ(se.AsString(f::GetTextRegExpr), "<li>(.*?)</li>");
    EXPECT_TRUE(se.IsNull(se.FieldIndex(f::MinSecondsBetweenRequests)));  // not in the file
}

TEST(EngineSqlTest, ABadFileChangesNothingAndSaysWhere) {
    const std::string designed = kDesignedTable;
    struct Case {
        std::string sql, message;
    } cases[] = {
        {designed + Row("A", "<li>(.*?</li>"),
         "row 1, field GetTextRegExpr: pattern line 1: TRegExpr(comp)"},
        {designed + Row("A", "<li>") + Row("B", "x(?:y)"),
         "row 2, field GetTextRegExpr: pattern line 1:"},
        {"CREATE TABLE SE (SEName TEXT, StartSearchURL TEXT);",
         "the field PrepareSearchURL is missing"},
        {designed + "INSERT INTO SE (SEName) VALUES ('A');\nINSERT INTO SE (Nope) VALUES (1);",
         "line 3: table SE has no column named Nope"},
        {designed + Row("A", "x") + Row("A", "y"), "row 2, field SEName: 'A' is defined twice"},
        {designed + Row("A=B", "x"), "row 1, field SEName: 'A=B' holds one of = [ ]"},
        {designed + "INSERT INTO SE (SEName, StartSearchURL) VALUES ('A', 'file:///etc/passwd');",
         "row 1, field StartSearchURL: 'file:///etc/passwd' does not begin with http:// or "
         "https://"},
        {designed + "INSERT INTO SE (SEName, CheckHtmlCheckText) VALUES ('A', '" +
             std::string(31, 'c') + "');",
         "row 1, field CheckHtmlCheckText: longer than 30 characters"},
        {designed + "INSERT INTO SE (SEName, GetUrlDecodeUrlCode) VALUES ('A', 2);",
         "row 1, field GetUrlDecodeUrlCode: 2 is out of range"},
        {"CREATE TABLE SE (SEName TEXT, RequestHeaderLines TEXT);", "the field PrepareSearchURL"},
        {"ATTACH DATABASE 'x.db' AS x;", "line 1: not authorized"},
        {"CREATE TABLE t(x); WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c) "
         "INSERT INTO t SELECT n FROM c;",
         "line 1: interrupted"},
        {"", "the file creates no table SE"},
    };
    testing::TempDir dir;
    const std::string cds = dir.File("SE.cds");
    std::filesystem::copy_file(Shipped(), cds);
    const std::string before = FileBytes(cds);
    for (const Case& c : cases) {
        Write(dir.File("bad.sql"), c.sql);
        try {
            ImportEngineFile(dir.File("bad.sql"), cds);
            ADD_FAILURE() << "imported: " << c.sql;
        } catch (const EngineDefinitionError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
        EXPECT_EQ(FileBytes(cds), before);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.db")));
}

TEST(EngineSqlTest, OptionalFieldsAreChecked) {
    const std::string table = std::string(kDesignedTable) + Row("A", "x") +
                              "ALTER TABLE SE ADD COLUMN RequestHeaderLines TEXT;\n"
                              "ALTER TABLE SE ADD COLUMN BlockedStatusCodes TEXT;\n"
                              "ALTER TABLE SE ADD COLUMN GetUrlUnwrapDecode INTEGER;\n";
    struct Case {
        std::string set, message;
    } cases[] = {
        {"RequestHeaderLines = 'Host: evil.example'", "the header Host cannot be set"},
        {"RequestHeaderLines = 'no colon'", "'no colon' is not a header line"},
        {"BlockedStatusCodes = '202, 4x9'", "'4x9' is not an HTTP status"},
        {"GetUrlUnwrapDecode = 3", "not 0 (none), 1 (percent) or 2 (base64url)"},
    };
    for (const Case& c : cases) {
        data::Table into("SE", data::EngineTableFields());
        try {
            ReadEngineSql(table + "UPDATE SE SET " + c.set + ";", into);
            ADD_FAILURE() << c.set;
        } catch (const EngineDefinitionError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

// Callers that only report a failure catch the folder's one base type.
TEST(EngineSqlTest, RefusedKeywordsAndDefinitionsAreDetectErrors) {
    EXPECT_THROW(CheckedKeyword(""), DetectError);
    data::Table into("SE", data::EngineTableFields());
    EXPECT_THROW(ReadEngineSql("", into), DetectError);
    testing::TempDir dir;
    try {
        ImportEngineFile(dir.File("none.sql"), dir.File("SE.cds"));
        ADD_FAILURE() << "imported a missing file";
    } catch (const DetectError& e) {
        EXPECT_EQ(e.what(), "Cannot open file " + dir.File("none.sql"));
    }
}

}  // namespace
}  // namespace kv::detect
