// The two save commands: the frequency grid (Export1Action) and the per-page grid
// (Export2Action) in one of five formats, then the file opened with the shell.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QStringList>

#include "app/apptexts.h"
#include "app/gridexport.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "data/export_tablerows.h"
#include "data/tablefields.h"

namespace kv::app {

void TMainForm::Export1ActionExecute() {
    if (tables_.KeywordResClientDataSet.IsEmpty() || boxText_.isEmpty()) return;
    ExportGrid(DBGridEh1, boxText_);
}

void TMainForm::Export2ActionExecute() {
    data::Table& frequency = tables_.KeywordResClientDataSet;
    if (frequency.IsEmpty()) return;
    ExportGrid(DBGridEh2,
               QString::fromStdString(frequency.AsString(data::keywordres_fields::Keyword)));
}

void TMainForm::ExportGrid(ResultGrid* grid, const QString& proposedName) {
    const QStringList filters = SaveDialogFilters();
    // The dialog starts where the last file went, else in the export folder of an installed
    // program, else in the user's documents folder.
    QString folder = lastExportFolder_;
    if (folder.isEmpty()) folder = QString::fromStdString(folders_.exports);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const auto chosen = desktop_.SaveFileName(this, QDir(folder).filePath(proposedName), filters,
                                              exportFilterIndex_);
    if (!chosen) return;
    lastExportFolder_ = QFileInfo(*chosen).absolutePath();
    const auto format = data::ExportFormatFromFilterIndex(exportFilterIndex_ + 1);
    if (!format) return;
    const std::string path = data::ExportFileName(chosen->toStdString(), *format);
    try {
        // The rows are read by position, so the grid keeps its row and scroll position.
        grid->setUpdatesEnabled(false);
        const data::TableExportRows rows(grid->tableModel()->table());
        data::ExportGridToFile(*format, DescribeGrid(*grid), rows, path);
        grid->setUpdatesEnabled(true);
    } catch (const std::exception& e) {
        grid->setUpdatesEnabled(true);
        desktop_.ShowError(this, QString::fromStdString(e.what()));
        return;
    }
    const QString saved = QString::fromStdString(path);
    if (!desktop_.Open(QUrl::fromLocalFile(saved)))
        statusText_->setText(QString(texts::kFileSavedAs).arg(saved));
}

}  // namespace kv::app
