// The window's layout: no control covers another at the designed size and above it, long
// addresses keep their host and page name, and the counts of the theme stand on bars.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "app/countbardelegate.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

using testing::ProgramFolder;
using testing::RecordingDesktop;

bool IsControl(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QProgressBar*>(w);
}

// Visible controls that are not parts of another control; the clip panel counts as one
// (its picture and the clips play in the same place on purpose).
std::vector<QWidget*> VisibleControls(QWidget* window) {
    std::vector<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !IsControl(w) || w->width() <= 0 || w->height() <= 0) continue;
        bool part = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            part = part || IsControl(p) || p->objectName() == "PlayPanel";
        if (!part) out.push_back(w);
    }
    return out;
}

std::string Name(const QWidget* w) {
    const QString name = w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName();
    const auto* label = qobject_cast<const QLabel*>(w);
    return (label ? name + " '" + label->text() + "'" : name).toStdString();
}

class MainFormLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteTables({"seo"}, {{"seo", "Google", 1,
                                       "http://www.example.com/a/very/long/path/to/some/deeply/"
                                       "nested/folder/of/the/site/page-name.html",
                                       "seo, web, tools"},
                                      {"seo", "MSN", 2, "http://b.example/", "seo, web"}});
        window_ = std::make_unique<TMainForm>(folder_.Path(), &desktop_);
        window_->setWindowState(Qt::WindowNoState);
    }
    void TearDown() override { window_->close(); }

    ProgramFolder folder_;
    RecordingDesktop desktop_;
    std::unique_ptr<TMainForm> window_;
};

TEST_F(MainFormLayout, NoTwoVisibleControlsIntersectAtTheDesignedSizeOrAboveIt) {
    window_->show();
    for (const QSize size : {QSize(750, 550), QSize(900, 600), QSize(1280, 800)}) {
        window_->resize(size);
        QTest::qWait(20);
        ASSERT_EQ(window_->size(), size);
        // The error log shows too, as after a failed run.
        window_->LogError("Connection error: 404 Not Found. ");
        QTest::qWait(20);
        const auto controls = VisibleControls(window_.get());
        ASSERT_GT(controls.size(), 20u);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const QRect a(controls[i]->mapTo(window_.get(), QPoint(0, 0)), controls[i]->size());
            EXPECT_TRUE(window_->rect().contains(a))
                << Name(controls[i]) << " leaves the window at " << size.width();
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                const QRect b(controls[j]->mapTo(window_.get(), QPoint(0, 0)), controls[j]->size());
                EXPECT_FALSE(a.intersects(b))
                    << Name(controls[i]) << " and " << Name(controls[j]) << " overlap at "
                    << size.width() << "x" << size.height();
            }
        }
    }
}

TEST_F(MainFormLayout, TheErrorPaneShowsTheStartOfTheNewestLine) {
    window_->resize(750, 550);
    window_->show();
    for (int i = 10; i < 30; ++i)
        window_->LogError("line " + std::to_string(i) + " " + std::string(400, 'x'));
    QTest::qWait(20);
    auto* log = window_->findChild<QTextEdit*>("LogRichEdit");
    EXPECT_EQ(log->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
    EXPECT_TRUE(log->textCursor().block().text().startsWith("line 29 "))
        << log->textCursor().block().text().left(10).toStdString();
    EXPECT_EQ(log->textCursor().positionInBlock(), 0);
}

TEST_F(MainFormLayout, TheEngineBoxesShareOneContainer) {
    QWidget* panel = window_->findChild<QWidget*>("EngineBoxPanel");
    ASSERT_NE(panel, nullptr);
    for (const char* name :
         {"TBXCheckBox1", "TBXCheckBox2", "TBXCheckBox3", "TBXCheckBox4", "TBXCheckBox5"})
        EXPECT_EQ(window_->findChild<QWidget*>(name)->parentWidget(), panel) << name;
}

TEST_F(MainFormLayout, AddressesLoseTheirMiddleAndCountsStandOnBars) {
    window_->show();
    auto* pages = window_->findChild<ResultGrid*>("DBGridEh2");
    ASSERT_GT(pages->model()->rowCount(), 0);
    QStyleOptionViewItem option;
    option.initFrom(pages);
    const QModelIndex url = pages->model()->index(0, 1);
    auto* delegate = qobject_cast<QStyledItemDelegate*>(pages->itemDelegateForColumn(1));
    ASSERT_NE(delegate, nullptr);
    // The delegate's option as it paints: the address is cut in the middle, on one line. The
    // protected member is reached through a member pointer, which calls the delegate's own
    // override without pretending it is another type.
    struct Probe : QStyledItemDelegate {
        using QStyledItemDelegate::initStyleOption;
    };
    QStyleOptionViewItem painted = option;
    (delegate->*&Probe::initStyleOption)(&painted, url);
    EXPECT_EQ(painted.textElideMode, Qt::ElideMiddle);

    auto* theme = window_->findChild<ResultGrid*>("DBGridEh1");
    EXPECT_NE(qobject_cast<CountBarDelegate*>(theme->itemDelegateForColumn(1)), nullptr);
    struct Case {
        long long value, maximum;
        int width, bar;
    } cases[] = {{5, 5, 50, 50}, {1, 5, 50, 10}, {1, 1000, 50, 1}, {0, 5, 50, 0},
                 {3, 0, 50, 0},  {7, 5, 50, 50}, {2, 4, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CountBarWidth(c.value, c.maximum, c.width), c.bar)
            << c.value << "/" << c.maximum << " in " << c.width;
}

}  // namespace
}  // namespace kv::app
