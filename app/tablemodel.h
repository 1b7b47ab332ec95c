// A read-only grid model over a table of the table engine. It watches the table's
// notifications: a data change resets the model once (a bulk change suspended with
// DisableControls therefore repaints once), a cursor move is passed on as CurrentRowChanged.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <string>
#include <vector>

#include "data/table.h"

namespace kv::app {

struct GridColumn {
    std::string field;
    QString caption;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool hotTrack = false;  // underlined, in the link colour
    QIcon titleIcon;
};

class TableModel : public QAbstractTableModel, public data::TableObserver {
    Q_OBJECT
  public:
    TableModel(data::Table& table, std::vector<GridColumn> columns, QObject* parent = nullptr);
    ~TableModel() override;

    data::Table& table() const { return table_; }
    const std::vector<GridColumn>& columns() const { return columns_; }
    int FieldOf(int column) const { return fields_[static_cast<std::size_t>(column)]; }

    // Even rows (the second, fourth, ...) on the shaded background.
    void SetEvenRowShade(const QColor& shade) { evenRowShade_ = shade; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void TableDataChanged(data::Table& table) override;
    void TableCursorMoved(data::Table& table) override;

  signals:
    void CurrentRowChanged(int row);

  private:
    data::Table& table_;
    std::vector<GridColumn> columns_;
    std::vector<int> fields_;
    int rows_ = 0;
    QColor evenRowShade_;
};

}  // namespace kv::app
