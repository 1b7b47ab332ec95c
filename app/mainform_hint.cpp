// The per-page grid's hint: the keywords of the page under the pointer.
#include <QToolTip>

#include "app/gridlook.h"
#include "app/mainform.h"
#include "app/resultgrid.h"
#include "data/tablefields.h"

namespace kv::app {

void TMainForm::DBGridEh2MouseMove(const QPoint& viewportPos, const QPoint& globalPos) {
    data::Table& pages = tables_.KeywordRes2ClientDataSet;
    const QModelIndex index = DBGridEh2->CellAt(viewportPos);
    // Cells count from 1: row 0 is the title row.
    const std::pair<int, int> cell{index.isValid() ? index.column() + 1 : -1,
                                   index.isValid() ? index.row() + 1 : -1};
    if (pages.RecordCount() == 0 || cell == lastHintCell_) return;
    hintText_.clear();
    if (!index.isValid() || index.row() >= pages.RecordCount()) {
        QToolTip::hideText();
        return;
    }
    const std::string& field = pagesModel_->columns()[index.column()].field;
    if (field == data::keywordres2_fields::Keywords) {
        // Read by position: the user's current row stays where it is.
        hintText_ = KeywordsHint(
            pages.CellText(index.row(), pages.FieldIndex(data::keywordres2_fields::Keywords2)));
    }
    if (hintText_.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, QString::fromStdString(hintText_).remove('\r'),
                           DBGridEh2->viewport());
    lastHintCell_ = cell;
}

}  // namespace kv::app
