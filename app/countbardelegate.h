// The Count column of the theme grid: each count on a bar as long as its share of the largest
// count, so the shape of a theme shows at a glance; the number stays readable on it.
// Tests: tests/app/mainform_layout_test.cpp.
#pragma once

#include <QStyledItemDelegate>

namespace kv::app {

// The bar's width in pixels for a value within a cell of the given width (0 for no bar;
// at least 1 for a positive value).
int CountBarWidth(long long value, long long maximum, int cellWidth);

class CountBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace kv::app
