// The main window's display: control locking, the error log, the gauge, the per-page hint,
// row shading, the footer, the banner position and the grids following the tables.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

#include "app/gridlook.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

using testing::ProgramFolder;
using testing::RecordingDesktop;

class MainFormDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteTables(
            {"seo"},
            {
                {"seo", "Google", 1, "http://a.example/", "seo, web, tools"},
                {"seo", "Google", 2, "http://b.example/", "seo, web"},
                {"seo", "MSN", 1, "http://c.example/", "seo"},
                {"seo", "MSN", 2, "http://d.example/", testing::NumberedKeywords(20) + ",seo"},
            });
        window_ = std::make_unique<TMainForm>(folder_.Path(), &desktop_);
        window_->resize(1000, 700);
        window_->show();
    }
    void TearDown() override { window_->close(); }

    template <typename T>
    T* Find(const char* name) {
        T* widget = window_->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    ProgramFolder folder_;
    RecordingDesktop desktop_;
    std::unique_ptr<TMainForm> window_;
};

TEST_F(MainFormDisplay, TheGridsShowTheThemeOfTheKeywordWithTheFooterCount) {
    auto* frequency = Find<ResultGrid>("DBGridEh1");
    ASSERT_EQ(frequency->model()->rowCount(), 23);  // seo, web, tools, kw01..kw20
    EXPECT_EQ(frequency->model()->index(0, 0).data().toString(), "seo");
    EXPECT_EQ(frequency->model()->index(0, 1).data().toString(), "4");
    EXPECT_EQ(frequency->FooterTexts()[0], "Total:");
    EXPECT_EQ(frequency->FooterTexts()[1], "23");
    // The per-page grid shows the pages of the selected (first) keyword by rank.
    auto* pages = Find<ResultGrid>("DBGridEh2");
    EXPECT_EQ(pages->model()->rowCount(), 4);
    EXPECT_EQ(pages->model()->headerData(1, Qt::Horizontal).toString(), "Web page");
    EXPECT_EQ(pages->model()->headerData(2, Qt::Horizontal).toString(), "META Keywords");
    EXPECT_TRUE(pages->model()->index(0, 1).data(Qt::FontRole).value<QFont>().underline());
}

TEST_F(MainFormDisplay, PickingAFrequencyRowShowsItsPagesAndEngineBoxesFilterAtOnce) {
    auto* frequency = Find<ResultGrid>("DBGridEh1");
    auto* pages = Find<ResultGrid>("DBGridEh2");
    const int web = [&] {
        for (int r = 0; r < frequency->model()->rowCount(); ++r)
            if (frequency->model()->index(r, 0).data().toString() == "web") return r;
        return -1;
    }();
    ASSERT_GE(web, 0);
    frequency->setCurrentIndex(frequency->model()->index(web, 0));
    EXPECT_EQ(window_->Tables().KeywordResClientDataSet.AsString("Keyword"), "web");
    EXPECT_EQ(pages->model()->rowCount(), 2);
    Find<QCheckBox>("TBXCheckBox3")->setChecked(false);  // Google off
    EXPECT_EQ(frequency->model()->rowCount(), 21);
    EXPECT_EQ(frequency->FooterTexts()[1], "21");
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(MainFormDisplay, ARebuildRepaintsEachGridOnce) {
    auto* frequency = Find<ResultGrid>("DBGridEh1");
    auto* pages = Find<ResultGrid>("DBGridEh2");
    QCoreApplication::processEvents();
    QSignalSpy frequencyResets(frequency->model(), &QAbstractItemModel::modelReset);
    PaintCounter frequencyPaints(frequency->viewport());
    PaintCounter pagesPaints(pages->viewport());
    // AltaVista has no rows: the theme stays, but it is rebuilt all the same.
    Find<QCheckBox>("TBXCheckBox2")->setChecked(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(frequencyResets.count(), 1);
    EXPECT_EQ(frequencyPaints.paints, 1);
    EXPECT_EQ(pagesPaints.paints, 1);
}

TEST_F(MainFormDisplay, ARunLocksTheInputsButNotTheGridsSaveButtonsOrMenu) {
    window_->SetRunControlsEnabled(false);
    for (const char* name :
         {"Label1", "Label4", "Label5", "MainKeywordRxDBLookupCombo", "EditTBXButton",
          "TBXCheckBox1", "TBXCheckBox2", "TBXCheckBox3", "TBXCheckBox4", "TBXCheckBox5",
          "TBXRadioButton1", "TBXRadioButton2", "TBXRadioButton3", "Image1"})
        EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
    for (const char* name :
         {"FindTBXButton", "DBGridEh1", "DBGridEh2", "TBXButton1", "TBXButton2", "LogRichEdit",
          "SanSplitter", "SanSplitter1", "Image", "PlayPanel", "Panel1", "Panel3", "dfsStatusBar"})
        EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(window_->menuBar()->isEnabled());
    for (QAction* action : window_->menuBar()->actions()) EXPECT_TRUE(action->isEnabled());
    window_->SetRunControlsEnabled(true);
    EXPECT_TRUE(Find<QWidget>("MainKeywordRxDBLookupCombo")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("Image1")->isEnabled());
}

TEST_F(MainFormDisplay, TheErrorLogOpensOnTheFirstFailureAndIsEmptiedByTheNextRun) {
    auto* log = Find<QTextEdit>("LogRichEdit");
    EXPECT_TRUE(log->isHidden());
    window_->LogError("first failure");
    EXPECT_FALSE(log->isHidden());
    EXPECT_GT(log->height(), 0);
    window_->LogError("second failure");
    EXPECT_EQ(log->toPlainText(), "first failure\nsecond failure");
    window_->ClearErrorLog();
    EXPECT_TRUE(log->isHidden());
    EXPECT_EQ(log->toPlainText(), "");
    // An empty message only shows the pane.
    window_->LogError("");
    EXPECT_FALSE(log->isHidden());
    EXPECT_EQ(log->toPlainText(), "");
}

TEST_F(MainFormDisplay, TheCommandButtonAndGaugeFollowTheRunState) {
    auto* button = Find<QPushButton>("FindTBXButton");
    EXPECT_EQ(button->text(), "Detect my theme");
    window_->BindCommandToStop(true);
    EXPECT_EQ(button->text(), "Stop scanning");
    window_->BindCommandToStop(false);
    EXPECT_EQ(button->text(), "Find words");
    auto* gauge = window_->statusBar()->findChild<QProgressBar*>();
    ASSERT_NE(gauge, nullptr);
    EXPECT_FALSE(gauge->isVisible());
    window_->SetGaugeEnabled(true);
    window_->SetGaugeIndeterminate();
    EXPECT_TRUE(gauge->isVisible());
    EXPECT_EQ(gauge->maximum(), 0);
    window_->SetGaugePosition(66);
    EXPECT_EQ(gauge->maximum(), 100);
    EXPECT_EQ(gauge->value(), 66);
    window_->SetGaugeEnabled(false);
    EXPECT_FALSE(gauge->isVisible());
}

TEST_F(MainFormDisplay, TheStatusBarGaugeStaysAHundredPixelsWideAndTheBannerCentred) {
    for (int width : {760, 1000, 1600}) {
        window_->resize(width, 700);
        window_->FormResize();
        auto* gaugePanel = window_->statusBar()->findChild<QProgressBar*>()->parentWidget();
        EXPECT_EQ(gaugePanel->width(), 100);
        auto* banner = Find<QLabel>("Image");
        auto* strip = Find<QWidget>("Panel8");
        EXPECT_EQ(banner->x(), (strip->width() - banner->width()) / 2);
    }
}

TEST_F(MainFormDisplay, TheHintOverMetaKeywordsListsSeventeenSortedKeywordsOfTwenty) {
    auto* pages = Find<ResultGrid>("DBGridEh2");
    pages->resizeColumnsToContents();
    // Rows by rank: Google 1, MSN 1 ... the 21-keyword page is MSN rank 2.
    int row = -1;
    for (int r = 0; r < pages->model()->rowCount(); ++r)
        if (pages->model()->index(r, 1).data().toString() == "http://d.example/") row = r;
    ASSERT_GE(row, 0);
    const int current = window_->Tables().KeywordRes2ClientDataSet.CurrentIndex();
    const QRect cell = pages->visualRect(pages->model()->index(row, 2));
    window_->DBGridEh2MouseMove(cell.center(), pages->viewport()->mapToGlobal(cell.center()));
    std::string expected = "Total: 21\r\n";
    for (int i = 1; i <= 17; ++i) expected += (i < 10 ? "kw0" : "kw") + std::to_string(i) + "\r\n";
    expected += "...";
    EXPECT_EQ(window_->HintText(), expected);
    // The user's row does not move.
    EXPECT_EQ(window_->Tables().KeywordRes2ClientDataSet.CurrentIndex(), current);
    const QRect web = pages->visualRect(pages->model()->index(row, 1));
    window_->DBGridEh2MouseMove(web.center(), pages->viewport()->mapToGlobal(web.center()));
    EXPECT_EQ(window_->HintText(), "");
}

TEST_F(MainFormDisplay, EvenPerPageRowsAreShadedThreePercentDarker) {
    auto* pages = Find<ResultGrid>("DBGridEh2");
    ASSERT_GE(pages->model()->rowCount(), 4);
    const QColor base = pages->palette().color(QPalette::Base);
    for (int row = 0; row < 4; ++row) {
        const QVariant background = pages->model()->index(row, 0).data(Qt::BackgroundRole);
        if (row % 2 == 0)
            EXPECT_FALSE(background.isValid()) << row;
        else
            EXPECT_EQ(background.value<QColor>(), ShadeColor(base)) << row;
    }
}

TEST_F(MainFormDisplay, ClickingTheBannerOpensTheHomePage) {
    for (const char* name : {"Image", "PlayPanel"})
        QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(desktop_.opened.size(), 2);
    for (const QUrl& url : desktop_.opened)
        EXPECT_EQ(url.toString(), "https://www.ostrel.example/kelvane");
}

}  // namespace
}  // namespace kv::app

namespace kv::app {
namespace {

TEST_F(MainFormDisplay, TheMenusLeadToUpdatesSupportTheManualAndTheTerms) {
    QStringList titles;
    for (QAction* menu : window_->menuBar()->actions()) {
        titles << menu->text();
        for (QAction* item : menu->menu()->actions())
            titles << (item->isSeparator() ? QString("-") : item->text());
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Get updates", "Se&ttings...",
                                   "&Count spellings that differ only in case as one keyword",
                                   "Check engines", "-", "E&xit", "&Help", "&Get support",
                                   "&Help topics", "Program distribution", "&About..."}));
    auto trigger = [&](const QString& text) {
        for (QAction* menu : window_->menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (item->text() == text) item->trigger();
    };
    trigger("&Get updates");
    trigger("&Get support");
    trigger("&Help topics");
    trigger("Program distribution");
    ASSERT_EQ(desktop_.opened.size(), 3);
    EXPECT_EQ(desktop_.opened[0].toString(), "https://www.ostrel.example/kelvane/download");
    EXPECT_EQ(desktop_.opened[1].scheme(), "mailto");
    EXPECT_EQ(desktop_.opened[2].toLocalFile().toStdString(), folder_.File("manual/index.html"));
    ASSERT_EQ(desktop_.informations.size(), 1);
    EXPECT_TRUE(desktop_.informations[0].startsWith("Program distribution|"));
}

}  // namespace
}  // namespace kv::app
