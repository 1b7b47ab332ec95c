// A read-only result grid: a table view over a TableModel whose selected row follows the
// table's cursor and moves it when the user picks a row, with an optional footer row that is
// placed under the grid and drawn in the columns' places.
#pragma once

#include <QTableView>
#include <QWidget>
#include <vector>

#include "app/tablemodel.h"

namespace kv::app {

class GridFooter;

class ResultGrid : public QTableView {
    Q_OBJECT
  public:
    ResultGrid(TableModel* model, QWidget* parent = nullptr);

    TableModel* tableModel() const { return model_; }

    // One footer row with a text per column (by model column); empty texts show nothing.
    void SetFooterTexts(std::vector<QString> texts);
    void SetFooterText(int column, const QString& text);
    const std::vector<QString>& FooterTexts() const { return footerTexts_; }
    bool HasFooter() const { return footer_ != nullptr; }
    // The footer row, to be placed right under the grid (the grid does not own it).
    QWidget* Footer() const;

    // Rows of this many text lines.
    void SetTextLines(int lines);

    // The cell under a viewport position; invalid outside the cells.
    QModelIndex CellAt(const QPoint& viewportPos) const { return indexAt(viewportPos); }

  signals:
    void ViewportMouseMoved(const QPoint& viewportPos, const QPoint& globalPos);

  protected:
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    void FollowTableCursor(int row);

    TableModel* model_;
    GridFooter* footer_ = nullptr;
    std::vector<QString> footerTexts_;
    bool following_ = false;
};

}  // namespace kv::app
