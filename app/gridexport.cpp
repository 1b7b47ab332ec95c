#include "app/gridexport.h"

#include <QHeaderView>

#include "app/countbardelegate.h"
#include "app/resultgrid.h"

namespace kv::app {

namespace {

data::ExportColor ColorOf(const QColor& color) {
    return {static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
            static_cast<std::uint8_t>(color.blue())};
}

data::ExportAlignment AlignmentOf(Qt::Alignment alignment) {
    if (alignment & Qt::AlignRight) return data::ExportAlignment::Right;
    if (alignment & Qt::AlignHCenter) return data::ExportAlignment::Center;
    return data::ExportAlignment::Left;
}

data::ExportFont FontOf(const QFont& font, const QColor& color) {
    data::ExportFont out;
    out.name = font.family().toStdString();
    out.sizePoints = font.pointSize() > 0
                         ? font.pointSize()
                         : static_cast<int>(font.pointSizeF() > 0 ? font.pointSizeF()
                                                                  : font.pixelSize() * 72 / 96);
    out.color = ColorOf(color);
    out.bold = font.bold();
    out.italic = font.italic();
    out.underline = font.underline();
    out.strikeOut = font.strikeOut();
    return out;
}

}  // namespace

data::ExportGrid DescribeGrid(const ResultGrid& grid) {
    const QPalette palette = grid.palette();
    const QHeaderView* header = grid.horizontalHeader();
    const TableModel* model = grid.tableModel();
    data::ExportGrid out;
    out.name = grid.objectName().toStdString();
    out.fixedColor = ColorOf(palette.color(QPalette::Button));
    out.buttonFaceColor = out.fixedColor;
    out.footerColor = out.fixedColor;
    out.flat = true;
    out.threeDimensional = true;
    out.columnLines = grid.showGrid();
    out.rowLines = grid.showGrid();
    out.pixelsPerInch = grid.logicalDpiX();

    std::vector<data::ExportFooterCell> footer;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical)) continue;
        const GridColumn& source = model->columns()[static_cast<std::size_t>(logical)];
        data::ExportColumn column;
        column.field = source.field;
        column.caption = source.caption.toStdString();
        column.widthPixels = header->sectionSize(logical);
        column.alignment = AlignmentOf(source.alignment);
        column.color = ColorOf(palette.color(QPalette::Base));
        QFont font = grid.font();
        QColor textColor = palette.color(QPalette::Text);
        if (source.hotTrack) {
            font.setUnderline(true);
            textColor = palette.color(QPalette::Link);
        }
        column.font = FontOf(font, textColor);
        column.titleAlignment = data::ExportAlignment::Left;
        column.titleColor = out.fixedColor;
        column.titleFont = FontOf(header->font(), palette.color(QPalette::ButtonText));
        // The file shows the bars the grid draws.
        column.bars =
            qobject_cast<CountBarDelegate*>(grid.itemDelegateForColumn(logical)) != nullptr;
        if (grid.HasFooter()) {
            footer.push_back({grid.FooterTexts()[static_cast<std::size_t>(logical)].toStdString(),
                              column.alignment,
                              FontOf(grid.font(), palette.color(QPalette::Text))});
        }
        out.columns.push_back(std::move(column));
    }
    if (grid.HasFooter()) out.footerRows.push_back(std::move(footer));
    return out;
}

QStringList SaveDialogFilters() {
    // "Text files (*.txt)|*.txt|..." -> "Text files (*.txt)", ...: the description names the
    // pattern already.
    const QStringList parts =
        QString::fromUtf8(data::strings::kExportSaveFilter.data(),
                          static_cast<qsizetype>(data::strings::kExportSaveFilter.size()))
            .split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
    return filters;
}

}  // namespace kv::app
