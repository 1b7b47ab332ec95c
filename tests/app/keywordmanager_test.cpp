// The keyword manager: Add with its duplicate test and cut, Delete with its confirmation,
// Cancel, and the keyword box following the history when the manager closes.
#include "app/keywordmanager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/mainform.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

using testing::OnNextModal;
using testing::ProgramFolder;
using testing::RecordingDesktop;

std::vector<std::string> Words(data::Table& history) {
    std::vector<std::string> words;
    for (int row = 0; row < history.RecordCount(); ++row) words.push_back(history.CellText(row, 0));
    return words;
}

// Opens the manager from the window, runs `steps` on it, then closes it.
void WithManager(TMainForm& window, std::function<void(TWordEditForm&)> steps) {
    OnNextModal([steps](QWidget* modal) {
        auto* manager = qobject_cast<TWordEditForm*>(modal);
        ASSERT_NE(manager, nullptr);
        steps(*manager);
        manager->findChild<QPushButton*>("CloseButton")->click();
    });
    window.EditTBXButtonClick();
}

// Clicks "Add" and answers the keyword dialog with `text` (OK) or Cancel.
void Add(TWordEditForm& manager, const QString& text, bool ok = true) {
    OnNextModal(
        [text, ok](QWidget* modal) {
            auto* form = qobject_cast<TNewWordForm*>(modal);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->windowTitle(), "Add new keyword");
            form->WordEdit()->setText(text);
            ok ? form->accept() : form->reject();
        },
        &manager);
    manager.AddTBXButtonClick();
}

class KeywordManager : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteTables({"beta", "delta"},
                            {{"delta", "Google", 1, "http://a.example/", "alpha, omega"}});
        window_ = std::make_unique<TMainForm>(folder_.Path(), &desktop_);
    }
    void TearDown() override { window_->close(); }
    data::Table& History() { return window_->Tables().WordClientDataSet; }

    ProgramFolder folder_;
    RecordingDesktop desktop_;
    std::unique_ptr<TMainForm> window_;
};

TEST_F(KeywordManager, AddedKeywordsAreSortedAndTheBoxShowsTheNewOneAfterClose) {
    WithManager(*window_, [&](TWordEditForm& manager) {
        EXPECT_EQ(manager.windowTitle(), "Keyword Manager");
        Add(manager, "gamma");
        EXPECT_EQ(History().AsString("word"), "gamma");
        Add(manager, "Beta");  // another letter case is another keyword
    });
    EXPECT_EQ(Words(History()), (std::vector<std::string>{"beta", "Beta", "delta", "gamma"}));
    EXPECT_EQ(window_->KeywordBoxText(), "Beta");
}

TEST_F(KeywordManager, ADuplicateSelectsTheExistingKeywordAndItsThemeIsShown) {
    WithManager(*window_, [&](TWordEditForm& manager) { Add(manager, "delta"); });
    EXPECT_EQ(Words(History()), (std::vector<std::string>{"beta", "delta"}));
    EXPECT_EQ(window_->KeywordBoxText(), "delta");
    EXPECT_EQ(window_->Tables().KeywordResClientDataSet.RecordCount(), 2);
}

TEST_F(KeywordManager, KeywordsAreTrimmedAndTooLongOrMultiLineOnesRefusedWithTheReason) {
    WithManager(*window_, [&](TWordEditForm& manager) {
        Add(manager, "  gamma\t");
        Add(manager, QString(101, 'k'));
        Add(manager, "two\nlines");
        // The dialog itself holds OK back and says why.
        OnNextModal(
            [](QWidget* modal) {
                auto* form = qobject_cast<TNewWordForm*>(modal);
                ASSERT_NE(form, nullptr);
                QPushButton* ok =
                    form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                form->WordEdit()->setText(QString(101, 'k'));
                EXPECT_FALSE(ok->isEnabled());
                EXPECT_EQ(form->findChild<QLabel*>("RefusalHint")->text(),
                          "A keyword may be at most 100 characters long");
                form->WordEdit()->setText(QString(100, 'k'));
                EXPECT_TRUE(ok->isEnabled());
                form->reject();
            },
            &manager);
        manager.AddTBXButtonClick();
    });
    EXPECT_EQ(Words(History()), (std::vector<std::string>{"beta", "delta", "gamma"}));
    EXPECT_EQ(desktop_.informations,
              (QStringList{"Information|A keyword may be at most 100 characters long",
                           "Information|A keyword is one line: it may not hold a line break"}));
}

TEST_F(KeywordManager, EveryChangeIsSavedWhenTheManagerCloses) {
    WithManager(*window_, [&](TWordEditForm& manager) { Add(manager, "gamma"); });
    data::DataTables onDisk;
    onDisk.LoadFiles(folder_.Path());
    EXPECT_EQ(Words(onDisk.WordClientDataSet),
              (std::vector<std::string>{"beta", "delta", "gamma"}));
}

TEST_F(KeywordManager, CancelAndAnEmptyTextChangeNothing) {
    WithManager(*window_, [&](TWordEditForm& manager) {
        Add(manager, "gamma", false);
        Add(manager, "");
    });
    EXPECT_EQ(Words(History()), (std::vector<std::string>{"beta", "delta"}));
    EXPECT_EQ(window_->KeywordBoxText(), "beta");
}

TEST_F(KeywordManager, DeleteAsksFirstAndKeepsTheCache) {
    desktop_.answerYes = false;
    WithManager(*window_, [&](TWordEditForm& manager) { manager.DeleteTBXButtonClick(); });
    ASSERT_EQ(desktop_.questions.size(), 1);
    EXPECT_EQ(desktop_.questions[0], "Confirmation|Do you want to delete 'beta' ?");
    EXPECT_EQ(Words(History()).size(), 2u);

    desktop_.answerYes = true;
    WithManager(*window_, [&](TWordEditForm& manager) {
        manager.DeleteTBXButtonClick();
        manager.DeleteTBXButtonClick();
        manager.DeleteTBXButtonClick();  // empty: nothing asked
    });
    EXPECT_EQ(desktop_.questions.size(), 3);
    EXPECT_TRUE(History().IsEmpty());
    EXPECT_EQ(window_->KeywordBoxText(), "");
    EXPECT_TRUE(window_->Tables().KeywordResClientDataSet.IsEmpty());
    EXPECT_TRUE(window_->Tables().KeywordRes2ClientDataSet.IsEmpty());

    // The cached pages come back with the keyword.
    WithManager(*window_, [&](TWordEditForm& manager) { Add(manager, "delta"); });
    EXPECT_EQ(window_->KeywordBoxText(), "delta");
    EXPECT_EQ(window_->Tables().KeywordResClientDataSet.RecordCount(), 2);
}

}  // namespace
}  // namespace kv::app
