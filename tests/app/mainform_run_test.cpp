// Detection runs driven through the window against the demo search engine, served from this
// process on a free port of 127.0.0.1.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/mainform.h"
#include "app/resultgrid.h"
#include "app/terminationsignals.h"
#include "data/tables.h"
#include "tests/app/appfixture.h"
#include "tools/demoengine/demoserver.h"

namespace kv::app {
namespace {

using testing::ProgramFolder;
using testing::RecordingDesktop;

void Sql(const std::string& file, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// The engine definitions pointed at `host` ("127.0.0.1:PORT").
void PointEnginesAt(const std::string& seFile, const std::string& host) {
    std::string update = "UPDATE \"SE\" SET ";
    const char* fields[] = {"PrepareSearchURL", "StartSearchURL", "NextSearchFirstPartUrl"};
    for (std::size_t i = 0; i < 3; ++i) {
        if (i) update += ", ";
        update += std::string(fields[i]) + " = replace(" + fields[i] + ", '127.0.0.1:8765', '" +
                  host + "')";
    }
    Sql(seFile, update);
}

class WindowRun : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.Start();
        host_ = "127.0.0.1:" + std::to_string(server_.Port());
        PointEnginesAt(folder_.File("SE.cds"), host_);
        folder_.WriteTables({"garden furniture"}, {});
        // Straight to the demo engine, whatever proxy the environment names.
        kv::testing::WriteFileBytes(folder_.File("set.ini"),
                                    "[inet]\ntimeout=10\nRetryConnect=0\nConnectType=1\n");
    }
    void Open() {
        window_ = std::make_unique<TMainForm>(folder_.Path(), &desktop_);
        window_->show();
        ASSERT_TRUE(desktop_.errors.isEmpty()) << desktop_.errors.join("\n").toStdString();
    }
    void TearDown() override {
        if (window_) window_->close();
    }
    void TickOnly(const char* engineBox) {
        for (QCheckBox* box : window_->findChildren<QCheckBox*>())
            if (box->objectName().startsWith("TBXCheckBox"))
                box->setChecked(box->objectName() == engineBox);
    }
    template <typename T>
    T* Find(const char* name) {
        return window_->findChild<T*>(name);
    }

    demo::DemoServer server_{demo::ServerOptions{0, 0, 50}};
    std::string host_;
    ProgramFolder folder_;
    RecordingDesktop desktop_;
    std::unique_ptr<TMainForm> window_;
};

TEST_F(WindowRun, DetectMyThemeFillsBothGridsAndTheButtonReadsFindWordsAfter) {
    Open();
    TickOnly("TBXCheckBox3");  // Google
    auto* button = Find<QPushButton>("FindTBXButton");
    EXPECT_EQ(button->text(), "Detect my theme");
    // While the run goes on: inputs locked, grids, save buttons and menu usable.
    bool checkedDuringRun = false;
    QTimer::singleShot(0, [&] {
        checkedDuringRun = true;
        EXPECT_TRUE(window_->RunInProgress());
        EXPECT_EQ(button->text(), "Stop scanning");
        EXPECT_FALSE(Find<QComboBox>("MainKeywordRxDBLookupCombo")->isEnabled());
        EXPECT_FALSE(Find<QWidget>("EditTBXButton")->isEnabled());
        EXPECT_FALSE(Find<QWidget>("TBXCheckBox3")->isEnabled());
        EXPECT_FALSE(Find<QWidget>("TBXRadioButton1")->isEnabled());
        EXPECT_TRUE(Find<QWidget>("DBGridEh1")->isEnabled());
        EXPECT_TRUE(Find<QWidget>("DBGridEh2")->isEnabled());
        EXPECT_TRUE(Find<QWidget>("TBXButton1")->isEnabled());
        EXPECT_TRUE(Find<QWidget>("TBXButton2")->isEnabled());
        EXPECT_TRUE(window_->menuBar()->isEnabled());
    });
    button->click();
    EXPECT_TRUE(checkedDuringRun);
    EXPECT_FALSE(window_->RunInProgress());
    EXPECT_EQ(button->text(), "Find words");
    EXPECT_TRUE(Find<QWidget>("MainKeywordRxDBLookupCombo")->isEnabled());
    EXPECT_GT(Find<ResultGrid>("DBGridEh1")->model()->rowCount(), 0);
    EXPECT_GT(Find<ResultGrid>("DBGridEh2")->model()->rowCount(), 0);
    EXPECT_FALSE(window_->Tables().SECacheClientDataSet.IsEmpty());
    EXPECT_TRUE(window_->PictureIsBack());
}

TEST_F(WindowRun, SigtermDuringARunClosesTheWindowTheOrdinaryWayAndSavesTheStoredRows) {
    Open();
    TickOnly("TBXCheckBox3");  // Google
    const TerminationSignals termination([this] { window_->close(); });
    data::Table& cache = window_->Tables().SECacheClientDataSet;
    int storedWhenKilled = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (storedWhenKilled < 0 && cache.RecordCount() >= 2) {
            storedWhenKilled = cache.RecordCount();
            ::raise(SIGTERM);
        }
    });
    poll.start(5);
    Find<QPushButton>("FindTBXButton")->click();
    poll.stop();
    for (int i = 0; i < 100 && window_->isVisible(); ++i) QTest::qWait(10);
    EXPECT_FALSE(window_->isVisible());
    ASSERT_GE(storedWhenKilled, 2);
    data::DataTables onDisk;
    onDisk.LoadFiles(folder_.Path());
    ASSERT_TRUE(onDisk.WordClientDataSet.Locate("word", "garden furniture"));
    EXPECT_GE(onDisk.SECacheClientDataSet.RecordCount(), storedWhenKilled);
    EXPECT_TRUE(desktop_.errors.isEmpty()) << desktop_.errors.join("\n").toStdString();
}

TEST_F(WindowRun, ATypedKeywordJoinsTheHistoryAtTheRunAndARefusedOneHoldsTheCommandBack) {
    Open();
    TickOnly("TBXCheckBox3");
    auto* box = Find<QComboBox>("MainKeywordRxDBLookupCombo");
    auto* button = Find<QPushButton>("FindTBXButton");
    const std::pair<QString, QString> refused[] = {
        {"   ", "Enter a keyword: it is empty"},
        {QString(101, 'k'), "A keyword may be at most 100 characters long"},
    };
    for (const auto& [text, reason] : refused) {
        box->setEditText(text);
        EXPECT_FALSE(button->isEnabled()) << text.toStdString();
        EXPECT_EQ(button->toolTip(), reason);
    }
    box->setEditText("  C++ tips ");
    EXPECT_TRUE(button->isEnabled());
    QTimer::singleShot(0, [&] { button->click(); });  // Stop at once
    button->click();
    EXPECT_EQ(window_->KeywordBoxText(), "C++ tips");
    EXPECT_TRUE(button->isEnabled());
    // Saved with the run, not only at exit.
    data::DataTables onDisk;
    onDisk.LoadFiles(folder_.Path());
    EXPECT_TRUE(onDisk.WordClientDataSet.Locate("word", "C++ tips"));
    EXPECT_TRUE(onDisk.WordClientDataSet.Locate("word", "garden furniture"));
}

TEST_F(WindowRun, StopEndsTheRunWithoutLoggingAndKeepsTheWindowUsable) {
    Open();
    auto* button = Find<QPushButton>("FindTBXButton");
    QTimer::singleShot(0, [&] { button->click(); });  // bound to Stop by then
    button->click();
    EXPECT_FALSE(window_->RunInProgress());
    EXPECT_EQ(button->text(), "Find words");
    EXPECT_TRUE(Find<QTextEdit>("LogRichEdit")->isHidden());
    EXPECT_TRUE(Find<QWidget>("TBXCheckBox1")->isEnabled());
}

TEST_F(WindowRun, AFailingEngineOpensTheLogAndTheNextRunEmptiesIt) {
    // MSN asks a port where nobody listens.
    Sql(folder_.File("SE.cds"),
        "UPDATE \"SE\" SET StartSearchURL = 'http://127.0.0.1:1/search?q=@@@' "
        "WHERE SEName = 'MSN'");
    Open();
    TickOnly("TBXCheckBox4");
    auto* log = Find<QTextEdit>("LogRichEdit");
    Find<QPushButton>("FindTBXButton")->click();
    EXPECT_FALSE(log->isHidden());
    const QString firstRun = log->toPlainText();
    EXPECT_TRUE(firstRun.contains("127.0.0.1:1/")) << firstRun.toStdString();
    // The next run starts with an empty, hidden log; only its own failures (the demo engine
    // lists a missing page among its results) are in it afterwards.
    TickOnly("TBXCheckBox3");
    bool emptiedAtStart = false;
    QTimer::singleShot(0, [&] {
        emptiedAtStart =
            log->toPlainText().isEmpty() || !log->toPlainText().contains("127.0.0.1:1/");
    });
    Find<QPushButton>("FindTBXButton")->click();
    EXPECT_TRUE(emptiedAtStart);
    EXPECT_FALSE(log->toPlainText().contains("127.0.0.1:1/")) << log->toPlainText().toStdString();
}

TEST_F(WindowRun, ClosingDuringARunStopsItAndClosesWhenItHasEnded) {
    Open();
    QTimer::singleShot(0, [&] {
        window_->close();
        // The run is still on its way out; the window waits for it.
        EXPECT_TRUE(window_->isVisible());
    });
    Find<QPushButton>("FindTBXButton")->click();
    EXPECT_FALSE(window_->RunInProgress());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->isVisible(); }, 20000));
    EXPECT_TRUE(Find<QTextEdit>("LogRichEdit")->toPlainText().isEmpty());
    EXPECT_TRUE(std::filesystem::exists(folder_.File("Word.cds")));
    EXPECT_NE(kv::testing::ReadFileBytes(folder_.File("set.ini")).find("[DBGridEh1]"),
              std::string::npos);
    window_.reset();
}

TEST_F(WindowRun, NoEngineTickedShowsTheMessageAndChangesNothing) {
    Open();
    TickOnly("none");
    Find<QPushButton>("FindTBXButton")->click();
    ASSERT_EQ(desktop_.informations.size(), 1);
    EXPECT_EQ(desktop_.informations[0],
              "Information|Select at least one search engine to check your rankings!");
    EXPECT_EQ(Find<QPushButton>("FindTBXButton")->text(), "Detect my theme");
}

// A command-line run that saves the folder between the window's runs: the window reads the
// files again before its next run, and its shutdown does not save its older tables over them.
TEST_F(WindowRun, FilesSavedByAnotherRunAreReadAgainAndNeverOverwritten) {
    Open();
    const testing::CacheRow other{"from the command line", "Google", 1, "http://cli.example/",
                                  "cli keyword"};
    folder_.WriteTables({"garden furniture", other.word}, {other});
    TickOnly("TBXCheckBox3");  // Google
    Find<QComboBox>("MainKeywordRxDBLookupCombo")->setEditText("typed meanwhile");
    Find<QPushButton>("FindTBXButton")->click();
    ASSERT_FALSE(window_->RunInProgress());

    const auto stored = [&] {
        data::DataTables tables;
        tables.LoadFiles(folder_.Path());
        std::vector<std::string> words, urls;  // the cache rows of every keyword
        data::Table& history = tables.WordClientDataSet;
        data::Table& cache = tables.SECacheClientDataSet;
        for (int row = 0; row < history.RecordCount(); ++row)
            words.push_back(history.CellText(row, 0));
        for (const std::string& word : words) {
            history.Locate("word", word);
            for (int row = 0; row < cache.RecordCount(); ++row)
                urls.push_back(cache.CellText(row, cache.FieldIndex("url")));
        }
        return std::pair{words, urls};
    };
    auto [words, urls] = stored();
    EXPECT_EQ(words, (std::vector<std::string>{"from the command line", "garden furniture",
                                               "typed meanwhile"}));
    EXPECT_GT(urls.size(), 1u);
    EXPECT_NE(std::find(urls.begin(), urls.end(), other.url), urls.end());

    folder_.WriteTables({"only the other run"}, {});
    window_->close();
    window_.reset();
    EXPECT_EQ(stored().first, std::vector<std::string>{"only the other run"});
}

}  // namespace
}  // namespace kv::app
