#include "app/gridlayouts.h"

#include <QHeaderView>
#include <QStringList>
#include <map>

#include "app/resultgrid.h"

namespace kv::app {

namespace {

// Drop-down rows of a column as the grid designs them; stored for the file's sake only.
constexpr int kDropDownRows = 7;

std::string KeyOf(const QString& gridName, const ResultGrid& grid, int column) {
    return gridName.toStdString() + "." + grid.tableModel()->columns()[column].field;
}

}  // namespace

void StoreGridLayout(data::IniFile& ini, const QString& gridName, const ResultGrid& grid) {
    const QHeaderView* header = grid.horizontalHeader();
    for (int column = 0; column < header->count(); ++column) {
        const QString value = QStringLiteral("%1,%2,0,%3,0,%4,0")
                                  .arg(header->visualIndex(column))
                                  .arg(header->sectionSize(column))
                                  .arg(header->isSectionHidden(column) ? 0 : 1)
                                  .arg(kDropDownRows);
        ini.WriteString(gridName.toStdString(), KeyOf(gridName, grid, column), value.toStdString());
    }
}

void RestoreGridLayout(const data::IniFile& ini, const QString& gridName, ResultGrid& grid) {
    QHeaderView* header = grid.horizontalHeader();
    std::map<int, int> columnAtPosition;
    for (int column = 0; column < header->count(); ++column) {
        const auto value = ini.Find(gridName.toStdString(), KeyOf(gridName, grid, column));
        if (!value) continue;
        const QStringList parts = QString::fromStdString(*value).split(',');
        if (parts.size() < 2) continue;
        bool positionOk = false;
        bool widthOk = false;
        const int position = parts[0].trimmed().toInt(&positionOk);
        const int width = parts[1].trimmed().toInt(&widthOk);
        // A zero width would hide the column for good; such a value is not the user's choice.
        // A column that fills the grid takes the width the grid leaves it.
        const bool fills =
            header->sectionResizeMode(column) == QHeaderView::Stretch ||
            (header->stretchLastSection() && header->visualIndex(column) == header->count() - 1);
        if (widthOk && width > 0 && !fills) header->resizeSection(column, width);
        if (positionOk && position >= 0 && position < header->count())
            columnAtPosition.emplace(position, column);
    }
    for (const auto& [position, column] : columnAtPosition)
        header->moveSection(header->visualIndex(column), position);
}

}  // namespace kv::app
