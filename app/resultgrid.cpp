#include "app/resultgrid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace kv::app {

// Paints the footer texts under the data rows, each in its column's place and alignment.
class GridFooter : public QWidget {
  public:
    explicit GridFooter(ResultGrid* grid) : grid_(grid) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, -1, -1, -1));
        painter.setPen(palette().color(QPalette::ButtonText));
        // In the columns' places: the grid's cells start after its frame.
        painter.translate(grid_->viewport()->x(), 0);
        const QHeaderView* header = grid_->horizontalHeader();
        const auto& texts = grid_->FooterTexts();
        const auto& columns = grid_->tableModel()->columns();
        for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
            if (header->isSectionHidden(column)) continue;
            const QRect cell(header->sectionViewportPosition(column) + 4, 1,
                             header->sectionSize(column) - 8, height() - 1);
            painter.drawText(cell, static_cast<int>(columns[column].alignment),
                             texts[static_cast<std::size_t>(column)]);
            painter.setPen(palette().color(QPalette::Midlight));
            painter.drawLine(cell.right() + 4, 0, cell.right() + 4, height());
            painter.setPen(palette().color(QPalette::ButtonText));
        }
    }

  private:
    ResultGrid* grid_;
};

namespace {

// Addresses stay on one line even in rows of two lines; a long one loses its middle, so the
// host and the page name stay visible.
class SingleLineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideMiddle;
    }
};

}  // namespace

ResultGrid::ResultGrid(TableModel* model, QWidget* parent) : QTableView(parent), model_(model) {
    setModel(model);
    for (int column = 0; column < model->columnCount(); ++column)
        if (model->columns()[static_cast<std::size_t>(column)].hotTrack)
            setItemDelegateForColumn(column, new SingleLineDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(false);
    setMouseTracking(true);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextLines(1);
    connect(model, &TableModel::CurrentRowChanged, this, &ResultGrid::FollowTableCursor);
    FollowTableCursor(model->table().CurrentIndex());
}

void ResultGrid::SetTextLines(int lines) {
    const int height = fontMetrics().lineSpacing() * lines + 6;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(height);
    setWordWrap(lines > 1);
}

void ResultGrid::SetFooterTexts(std::vector<QString> texts) {
    footerTexts_ = std::move(texts);
    if (!footer_) {
        footer_ = new GridFooter(this);
        footer_->setFixedHeight(verticalHeader()->defaultSectionSize() + 2);
        connect(horizontalHeader(), &QHeaderView::sectionResized, footer_,
                [this] { footer_->update(); });
        connect(horizontalHeader(), &QHeaderView::sectionMoved, footer_,
                [this] { footer_->update(); });
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, footer_,
                [this] { footer_->update(); });
    }
    footer_->update();
}

QWidget* ResultGrid::Footer() const {
    return footer_;
}

void ResultGrid::SetFooterText(int column, const QString& text) {
    if (column < 0 || column >= static_cast<int>(footerTexts_.size())) return;
    footerTexts_[static_cast<std::size_t>(column)] = text;
    if (footer_) footer_->update();
}

bool ResultGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        auto* move = static_cast<QMouseEvent*>(event);
        emit ViewportMouseMoved(move->position().toPoint(), move->globalPosition().toPoint());
    } else if (event->type() == QEvent::ToolTip) {
        // Only a hot-track cell whose text does not fit shows its text; other cells keep the
        // hint that the mouse-move handler shows.
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && model_->columns()[index.column()].hotTrack) {
            const QString text = index.data().toString();
            QFont font = this->font();
            font.setUnderline(true);
            if (QFontMetrics(font).horizontalAdvance(text) > columnWidth(index.column()) - 8)
                QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        }
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ResultGrid::FollowTableCursor(int row) {
    following_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex index =
            model_->index(row, currentIndex().isValid() ? currentIndex().column() : 0);
        setCurrentIndex(index);
        selectRow(row);
    } else {
        clearSelection();
    }
    following_ = false;
}

void ResultGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid()) return;
    data::Table& table = model_->table();
    if (current.row() != table.CurrentIndex()) table.MoveTo(current.row());
}

}  // namespace kv::app
