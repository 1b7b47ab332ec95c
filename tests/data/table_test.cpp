#include "data/table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/textcompare.h"

namespace kv::data {
namespace {

using enum FieldType;

class RecordingObserver : public TableObserver {
  public:
    void TableDataChanged(Table&) override { ++data; }
    void TableCursorMoved(Table&) override { ++cursor; }
    int data = 0;
    int cursor = 0;
};

std::vector<std::string> Column(Table& t, const std::string& field) {
    std::vector<std::string> out;
    for (t.First(); !t.Eof(); t.Next()) out.push_back(t.AsString(field));
    return out;
}

void AddRow(Table& t, const std::string& name, int number) {
    t.Append();
    t.SetString("Name", name);
    t.SetInteger("Number", number);
    t.Post();
}

class TableTest : public ::testing::Test {
  protected:
    void SetUp() override { text::SetCollationLocale("en_US"); }
    Table t{"T",
            {{"Name", String, 5},
             {"Number", Integer, 0},
             {"Small", Word, 0},
             {"Flag", Boolean, 0},
             {"Notes", Memo, 0}}};
};

TEST_F(TableTest, FieldsAreFoundByNameIgnoringCase) {
    EXPECT_EQ(t.FieldIndex("name"), 0);
    EXPECT_EQ(t.FieldIndex("NUMBER"), 1);
    EXPECT_THROW(t.FieldIndex("Missing"), TableError);
}

TEST_F(TableTest, LongTextIsCutSilentlyInCharactersNotBytes) {
    t.Append();
    t.SetString("Name", "abcdefgh");
    t.SetString("Notes", std::string(5000, 'x'));
    t.Post();
    EXPECT_EQ(t.AsString("Name"), "abcde");
    EXPECT_EQ(t.AsString("Notes").size(), 5000u);  // memos have no width

    t.Append();
    t.SetString("Name", "äöüßéèx");  // 7 characters, 13 bytes
    t.Post();
    EXPECT_EQ(t.AsString("Name"), "äöüßé");

    t.Append();
    t.SetText(0, MakeText("ab😀cdef"));
    t.Post();
    EXPECT_EQ(t.AsString("Name"), "ab😀cd");
}

TEST_F(TableTest, SharedTextIsCutPerFieldWidthEvenWhenReused) {
    const SharedText longText = MakeText("0123456789");
    Table other{"O", {{"Short", String, 3}, {"Long", String, 20}}};
    for (int i = 0; i < 2; ++i) {
        other.Append();
        other.SetText(1, longText);
        other.SetText(0, longText);
        other.Post();
        EXPECT_EQ(other.AsString("Short"), "012");
        EXPECT_EQ(other.AsString("Long"), "0123456789");
    }
}

TEST_F(TableTest, ValuesConvertBetweenTypesAndRejectBadOnes) {
    t.Append();
    t.SetString("Number", "42");
    t.SetInteger("Small", 65535);
    t.SetBoolean("Flag", true);
    t.Post();
    EXPECT_EQ(t.AsInteger("Number"), 42);
    EXPECT_EQ(t.AsString("Number"), "42");
    EXPECT_EQ(t.AsString("Flag"), "True");
    EXPECT_TRUE(t.AsBoolean("Flag"));
    t.Edit();
    EXPECT_THROW(t.SetInteger("Small", 65536), TableError);
    EXPECT_THROW(t.SetInteger("Small", -1), TableError);
    EXPECT_THROW(t.SetInteger("Number", 1LL << 31), TableError);
    EXPECT_THROW(t.SetString("Number", "12x"), TableError);
    t.Cancel();
    EXPECT_EQ(t.AsInteger("Small"), 65535);
}

TEST_F(TableTest, SettingAFieldOutsideEditModeFails) {
    AddRow(t, "a", 1);
    EXPECT_THROW(t.SetString("Name", "b"), TableError);
    t.Edit();
    t.SetString("Name", "b");
    t.CheckBrowseMode();
    EXPECT_EQ(t.GetState(), Table::State::Browse);
    EXPECT_EQ(t.AsString("Name"), "b");
}

TEST_F(TableTest, EmptyTableReadsAsEmptyValues) {
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.CurrentIndex(), -1);
    EXPECT_EQ(t.AsString("Name"), "");
    EXPECT_EQ(t.AsInteger("Number"), 0);
    EXPECT_THROW(t.Delete(), TableError);
}

TEST_F(TableTest, CursorWalksRowsAndDeleteMovesToTheFollowingRow) {
    AddRow(t, "a", 1);
    AddRow(t, "b", 2);
    AddRow(t, "c", 3);
    EXPECT_EQ(Column(t, "Name"), (std::vector<std::string>{"a", "b", "c"}));
    t.First();
    t.Next();
    t.Delete();
    EXPECT_EQ(t.AsString("Name"), "c");
    t.Delete();
    EXPECT_EQ(t.AsString("Name"), "a");  // the last row went: the new last row is current
    EXPECT_EQ(t.RecordCount(), 1);
}

TEST_F(TableTest, LocateIsExactAndCaseSensitive) {
    AddRow(t, "Seo", 1);
    AddRow(t, "seo", 2);
    AddRow(t, "seo", 3);
    EXPECT_TRUE(t.Locate("Name", "seo"));
    EXPECT_EQ(t.AsInteger("Number"), 2);
    EXPECT_FALSE(t.Locate("Name", "SEO"));
    EXPECT_FALSE(t.Locate("Name", "se"));
    EXPECT_TRUE(t.Locate("number", "3"));
    EXPECT_EQ(t.AsString("Name"), "seo");
}

TEST_F(TableTest, OrderingsKeepAppendOrderAmongEqualKeys) {
    AddRow(t, "b", 2);
    AddRow(t, "a", 1);
    AddRow(t, "c", 2);
    AddRow(t, "d", 3);
    t.AddIndex({"ByNumberDesc", {"Number"}, true});
    t.SetIndexName("ByNumberDesc");
    EXPECT_EQ(Column(t, "Name"), (std::vector<std::string>{"d", "b", "c", "a"}));
    t.SetIndexFieldNames("Number;Name");
    EXPECT_EQ(Column(t, "Name"), (std::vector<std::string>{"a", "b", "c", "d"}));
    t.ClearOrdering();
    EXPECT_EQ(Column(t, "Name"), (std::vector<std::string>{"b", "a", "c", "d"}));
    EXPECT_THROW(t.SetIndexName("Nope"), TableError);
}

TEST_F(TableTest, TextOrderingIsAlphabeticalWithCaseAsTieBreak) {
    for (const char* n : {"beta", "Alpha", "alpha", "Gamma"}) AddRow(t, n, 0);
    t.SetIndexFieldNames("Name");
    const auto names = Column(t, "Name");
    EXPECT_EQ(names[2], "beta");
    EXPECT_EQ(names[3], "Gamma");
}

TEST_F(TableTest, NotificationsAreSuspendedAndSentOnceOnResume) {
    RecordingObserver obs;
    t.AddObserver(&obs);
    AddRow(t, "a", 1);
    EXPECT_EQ(obs.data, 1);
    {
        ControlsDisabled outer(t);
        ControlsDisabled inner(t);
        for (int i = 0; i < 100; ++i) AddRow(t, "x", i);
        t.EmptyTable();
        AddRow(t, "y", 1);
    }
    EXPECT_EQ(obs.data, 2);
    t.First();
    EXPECT_EQ(obs.cursor, 1);
    t.RemoveObserver(&obs);
    AddRow(t, "z", 1);
    EXPECT_EQ(obs.data, 2);
}

class MasterDetailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        text::SetCollationLocale("en_US");
        for (const char* w : {"shoes", "hats"}) {
            master.Append();
            master.SetString("word", w);
            master.Post();
        }
        master.AddIndex({"ByWord", {"word"}, false});
        master.SetIndexName("ByWord");
        detail.SetIndexFieldNames("word");
        detail.SetMasterLink({&master, "word", "word"});
    }
    void AddDetail(const std::string& page) {
        detail.Append();
        detail.SetString("page", page);
        detail.Post();
    }
    Table master{"Word", {{"word", String, 30}}};
    Table detail{"Cache", {{"word", String, 30}, {"page", String, 50}}};
};

TEST_F(MasterDetailTest, AppendedRowsTakeTheLinkValueAndTheDetailFollowsTheMaster) {
    master.First();  // "hats" comes first in the index
    EXPECT_EQ(master.AsString("word"), "hats");
    AddDetail("h1");
    AddDetail("h2");
    master.Next();
    AddDetail("s1");
    EXPECT_EQ(Column(detail, "page"), (std::vector<std::string>{"s1"}));
    EXPECT_EQ(detail.AsString("word"), "shoes");
    master.First();
    EXPECT_EQ(Column(detail, "page"), (std::vector<std::string>{"h1", "h2"}));
    ASSERT_TRUE(master.Locate("word", "shoes"));
    EXPECT_EQ(detail.RecordCount(), 1);
}

TEST_F(MasterDetailTest, LinkCanBeRemovedForBulkAppendAndRestored) {
    master.First();
    AddDetail("h1");
    const MasterLink link = detail.GetMasterLink();
    detail.RemoveMasterLink();
    EXPECT_EQ(detail.RecordCount(), 1);
    detail.Append();
    detail.SetString("word", "shoes");  // no master: the caller sets the link field
    detail.SetString("page", "s1");
    detail.Post();
    detail.Append();
    detail.SetString("page", "orphan");
    detail.Post();
    EXPECT_EQ(detail.RecordCount(), 3);
    detail.SetMasterLink(link);
    EXPECT_EQ(Column(detail, "page"), (std::vector<std::string>{"h1"}));
    master.Locate("word", "shoes");
    EXPECT_EQ(Column(detail, "page"), (std::vector<std::string>{"s1"}));
}

TEST_F(MasterDetailTest, EmptyMasterShowsNoDetailRows) {
    master.First();
    AddDetail("h1");
    master.EmptyTable();
    EXPECT_EQ(detail.RecordCount(), 0);
    EXPECT_EQ(detail.StoredRows().size(), 1u);
}

TEST_F(MasterDetailTest, MasterMovesNotifyTheDetailsObservers) {
    RecordingObserver obs;
    detail.AddObserver(&obs);
    master.First();
    master.Next();
    EXPECT_GE(obs.data, 2);
    const int before = obs.data;
    {
        ControlsDisabled off(master);
        master.First();
        master.Next();
    }
    EXPECT_EQ(obs.data, before + 1);
    detail.RemoveObserver(&obs);
}

}  // namespace
}  // namespace kv::data
