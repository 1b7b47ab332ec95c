#include "app/tablemodel.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace kv::app {

TableModel::TableModel(data::Table& table, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
    for (const auto& column : columns_) fields_.push_back(table_.FieldIndex(column.field));
    rows_ = table_.RecordCount();
    table_.AddObserver(this);
}

TableModel::~TableModel() {
    table_.RemoveObserver(this);
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    // The table may hold fewer rows than the view was told while a change is being notified.
    if (!index.isValid() || index.row() >= rows_ || index.row() >= table_.RecordCount()) return {};
    const GridColumn& column = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(table_.CellText(index.row(), FieldOf(index.column())));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(column.alignment);
        case Qt::BackgroundRole:
            if (evenRowShade_.isValid() && index.row() % 2 == 1) return evenRowShade_;
            return {};
        case Qt::FontRole:
            if (column.hotTrack) {
                QFont font = QApplication::font("QTableView");
                font.setUnderline(true);
                return font;
            }
            return {};
        case Qt::ForegroundRole:
            if (column.hotTrack) return QApplication::palette().color(QPalette::Link);
            return {};
        default:
            return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return column.caption;
    if (role == Qt::DecorationRole && !column.titleIcon.isNull()) return column.titleIcon;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void TableModel::TableDataChanged(data::Table&) {
    beginResetModel();
    rows_ = table_.RecordCount();
    endResetModel();
    emit CurrentRowChanged(table_.CurrentIndex());
}

void TableModel::TableCursorMoved(data::Table&) {
    emit CurrentRowChanged(table_.CurrentIndex());
}

}  // namespace kv::app
