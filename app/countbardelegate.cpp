#include "app/countbardelegate.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "data/exportgrid.h"

namespace kv::app {

namespace {

constexpr int kBarInset = 2;

// The largest count in the column: the theme is sorted by falling count, but a view may sort
// it otherwise, so the rows are asked.
long long ColumnMaximum(const QModelIndex& index) {
    const QAbstractItemModel* model = index.model();
    long long maximum = 0;
    for (int row = 0; row < model->rowCount(); ++row)
        maximum = std::max(maximum, model->index(row, index.column()).data().toLongLong());
    return maximum;
}

}  // namespace

int CountBarWidth(long long value, long long maximum, int cellWidth) {
    if (value <= 0 || maximum <= 0 || cellWidth <= 0) return 0;
    const long long width = std::min(value, maximum) * cellWidth / maximum;
    return static_cast<int>(std::max(width, 1LL));
}

void CountBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QRect cell = opt.rect.adjusted(kBarInset, kBarInset, -kBarInset, -kBarInset);
    const int width = CountBarWidth(index.data().toLongLong(), ColumnMaximum(index), cell.width());
    const data::ExportColor bar = data::kExportBarColor;
    painter->fillRect(QRect(cell.topLeft(), QSize(width, cell.height())),
                      QColor(bar.red, bar.green, bar.blue));

    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    painter->drawText(cell.adjusted(1, 0, -1, 0), static_cast<int>(opt.displayAlignment), text);
}

}  // namespace kv::app
