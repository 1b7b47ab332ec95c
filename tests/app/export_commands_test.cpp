// The two save commands: guards, the save dialog's filters and first choice, the extension
// rule, the grid description, the current row kept, the error box, the shell's open.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QStandardPaths>

#include "app/gridexport.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

using testing::ProgramFolder;
using testing::RecordingDesktop;

constexpr int kText = 0, kCsv = 1, kHtml = 2;

class ExportCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.WriteTables({"seo"},
                            {{"seo", "Google", 1, "http://a.example/?q=\"x\"", "seo, web, tools"},
                             {"seo", "MSN", 2, "http://b.example/", "seo, web"}});
        window_ = std::make_unique<TMainForm>(folder_.Path(), &desktop_);
        window_->show();
    }
    void TearDown() override { window_->close(); }
    std::string Out(const std::string& name) { return folder_.File(name); }

    ProgramFolder folder_;
    RecordingDesktop desktop_;
    std::unique_ptr<TMainForm> window_;
};

TEST_F(ExportCommands, TheDialogOffersFiveFiltersWithHtmlFirstAndKeepsTheLastChoice) {
    window_->Export1ActionExecute();  // cancelled
    ASSERT_EQ(desktop_.proposedNames.size(), 1);
    // The first dialog starts in the documents folder, later ones where the last file went.
    EXPECT_EQ(
        desktop_.proposedNames[0],
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath("seo"));
    EXPECT_EQ(
        desktop_.lastFilters,
        (QStringList{"Text files (*.txt)", "Comma separated values (*.csv)", "HTML file (*.htm)",
                     "Rich Text Format (*.rtf)", "Microsoft Excel Workbook (*.xls)"}));
    EXPECT_EQ(desktop_.offeredFilterIndex, kHtml);
    desktop_.saveAs = QString::fromStdString(Out("k.txt"));
    desktop_.chosenFilterIndex = kCsv;
    window_->Export1ActionExecute();
    desktop_.saveAs.reset();
    window_->Export2ActionExecute();
    EXPECT_EQ(desktop_.offeredFilterIndex, kCsv);
    // The selected frequency row's keyword.
    EXPECT_EQ(desktop_.proposedNames.last(), QString::fromStdString(Out("seo")));
}

TEST_F(ExportCommands, ATxtNameSavedAsCsvGetsCsvAppendedAndTheFileIsOpened) {
    desktop_.saveAs = QString::fromStdString(Out("theme.txt"));
    desktop_.chosenFilterIndex = kCsv;
    window_->Export1ActionExecute();
    const std::string csv = kv::testing::ReadFileBytes(Out("theme.txt.csv"));
    EXPECT_EQ(
        csv,
        "\xEF\xBB\xBF\"Keyword\";\"Count\"\r\n\"seo\";\"2\"\r\n\"web\";\"2\"\r\n\"tools\";\"1\"\r\n"
        "\"Total:\";\"3\"");
    ASSERT_EQ(desktop_.opened.size(), 1);
    EXPECT_EQ(desktop_.opened[0].toLocalFile().toStdString(), Out("theme.txt.csv"));
    EXPECT_TRUE(window_->findChild<QLabel*>("StatusText")->text().isEmpty());

    // A desktop that opens nothing: the status bar says where the file is.
    desktop_.openSucceeds = false;
    window_->Export1ActionExecute();
    EXPECT_EQ(window_->findChild<QLabel*>("StatusText")->text().toStdString(),
              "Saved as " + Out("theme.txt.csv") + " (no program here opens it)");
}

TEST_F(ExportCommands, ThePerPageGridIsWrittenWithoutFooterAndKeepsItsRow) {
    data::Table& pages = window_->Tables().KeywordRes2ClientDataSet;
    pages.MoveTo(1);
    desktop_.saveAs = QString::fromStdString(Out("pages"));
    desktop_.chosenFilterIndex = kText;
    window_->Export2ActionExecute();
    EXPECT_EQ(kv::testing::ReadFileBytes(Out("pages.txt")),
              "Rank\tWeb page\tMETA Keywords\tSources\r\n"
              "1\thttp://a.example/?q=\"x\"\tseo, web, tools\t\r\n"
              "2\thttp://b.example/\tseo, web\t");
    EXPECT_EQ(pages.CurrentIndex(), 1);
    EXPECT_EQ(window_->findChild<ResultGrid*>("DBGridEh2")->currentIndex().row(), 1);
}

TEST_F(ExportCommands, AFileThatCannotBeCreatedIsReportedAndNotOpened) {
    desktop_.saveAs = QString::fromStdString(Out("missing-folder/x.htm"));
    desktop_.chosenFilterIndex = kHtml;
    window_->Export1ActionExecute();
    ASSERT_EQ(desktop_.errors.size(), 1);
    EXPECT_TRUE(desktop_.errors[0].startsWith("Cannot create file "))
        << desktop_.errors[0].toStdString();
    EXPECT_TRUE(desktop_.opened.isEmpty());
}

TEST_F(ExportCommands, NothingIsAskedWithoutKeywords) {
    window_->findChild<QCheckBox*>("TBXCheckBox3")->setChecked(false);
    window_->findChild<QCheckBox*>("TBXCheckBox4")->setChecked(false);
    ASSERT_TRUE(window_->Tables().KeywordResClientDataSet.IsEmpty());
    window_->Export1ActionExecute();
    window_->Export2ActionExecute();
    EXPECT_TRUE(desktop_.proposedNames.isEmpty());
}

TEST_F(ExportCommands, TheGridsDescribeTheirRealColumns) {
    auto* pages = window_->findChild<ResultGrid*>("DBGridEh2");
    pages->horizontalHeader()->resizeSection(1, 177);
    pages->horizontalHeader()->moveSection(2, 0);
    const data::ExportGrid grid = DescribeGrid(*pages);
    EXPECT_EQ(grid.name, "DBGridEh2");
    ASSERT_EQ(grid.columns.size(), 4u);
    EXPECT_EQ(grid.columns[3].caption, "Sources");
    EXPECT_EQ(grid.columns[0].field, "Keywords");
    EXPECT_EQ(grid.columns[0].caption, "META Keywords");
    EXPECT_EQ(grid.columns[2].field, "url");
    EXPECT_EQ(grid.columns[2].widthPixels, 177);
    EXPECT_TRUE(grid.columns[2].font.underline);
    EXPECT_EQ(grid.columns[1].alignment, data::ExportAlignment::Right);
    EXPECT_TRUE(grid.footerRows.empty());
    const data::ExportGrid frequency = DescribeGrid(*window_->findChild<ResultGrid*>("DBGridEh1"));
    ASSERT_EQ(frequency.footerRows.size(), 1u);
    EXPECT_EQ(frequency.footerRows[0][0].text, "Total:");
    EXPECT_EQ(frequency.footerRows[0][1].text, "3");
    EXPECT_GT(frequency.pixelsPerInch, 0);
}

}  // namespace
}  // namespace kv::app
