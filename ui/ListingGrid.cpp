#include "ui/ListingGrid.h"

#include <QHeaderView>

#include "ui/Twips.h"

namespace tracklens::ui {

ListingGrid::ListingGrid(QWidget* parent)
    : QTableView(parent)
    , model_(this)
{
    setModel(&model_);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Every row has the same height, so a listing of tens of millions of rows costs the view
    // nothing per row.
    QHeaderView* rowHeader = verticalHeader();
    rowHeader->hide();
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader->setDefaultSectionSize(fontMetrics().height() + 4);
    rowHeader->setMinimumSectionSize(1);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->hide();
}

void ListingGrid::setFixedRows(int fixedRows)
{
    model_.setFixedRows(fixedRows);
    horizontalHeader()->setVisible(model_.fixedRows() == 1);
}

void ListingGrid::setColumnWidthTwips(int column, int twips)
{
    const int pixels = TwipsToPixels(twips, logicalDpiX());
    setColumnWidth(column, pixels);
    const auto index = static_cast<std::size_t>(column);
    setTwips_[index] = twips;
    setPixels_[index] = pixels;
}

int ListingGrid::columnWidthTwips(int column) const
{
    const int pixels = columnWidth(column);
    const auto index = static_cast<std::size_t>(column);
    return pixels == setPixels_[index] ? setTwips_[index] : PixelsToTwips(pixels, logicalDpiX());
}

void ListingGrid::setHeaderColours(const QColor& background, const QColor& text)
{
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                       "border: 1px solid #C0C0C0; padding-left: 2px; }")
            .arg(background.name(), text.name()));
}

} // namespace tracklens::ui
