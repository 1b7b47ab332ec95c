// The two save commands: the frequency grid (Export1Action) and the per-page grid
// (Export2Action) in one of five formats, then the file opened with the shell.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QStringList>

#include "app/gridexport.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "data/export_tablerows.h"

namespace kv::app {

void TMainForm::Export1ActionExecute() {
    if (tables_.KeywordResClientDataSet.IsEmpty() || boxText_.isEmpty()) return;
    ExportGrid(DBGridEh1, boxText_);
}

void TMainForm::Export2ActionExecute() {
    data::Table& frequency = tables_.KeywordResClientDataSet;
    if (frequency.IsEmpty()) return;
    ExportGrid(DBGridEh2, QString::fromStdString(frequency.AsString("Keyword")));
}

void TMainForm::ExportGrid(ResultGrid* grid, const QString& proposedName) {
    const QStringList filters = SaveDialogFilters();
    // An installed program proposes its export folder; a portable one the current folder.
    const QString proposed =
        folders_.exports.empty()
            ? proposedName
            : QDir(QString::fromStdString(folders_.exports)).filePath(proposedName);
    const auto chosen = desktop_.SaveFileName(this, proposed, filters, exportFilterIndex_);
    if (!chosen) return;
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
    desktop_.Open(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace kv::app
