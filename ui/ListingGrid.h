#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <array>
#include <cstdint>
#include <string>

#include "engine/ColumnWidths.h"
#include "ui/ListingModel.h"
#include "ui/RowRanges.h"

class QHeaderView;
class QMenu;

namespace tracklens::ui {

class ColumnTitles;

// The listing grid: a view of its own over a ListingModel. It draws only the rows in sight and
// keeps nothing per row: the rows have one fixed height, the vertical scroll bar counts rows
// rather than pixels (so that hundreds of millions of rows scroll to the last), and the
// selection is a set of row ranges. The only header is the row of column titles, whose widths
// are set and read in twips and can be dragged.
class ListingGrid final : public QAbstractScrollArea {
    Q_OBJECT

public:
    // Copying more rows than this is refused: the text would be too large for the clipboard.
    static constexpr std::int64_t kMostRowsCopied = 1'000'000;

    explicit ListingGrid(QWidget* parent = nullptr);
    ~ListingGrid() override;

    ListingModel& listing() { return model_; }
    const ListingModel& listing() const { return model_; }

    // The grid's operations.
    // Also forgets the current row and the selection, and scrolls back to the top.
    void clearCells();
    void setRows(int rows) { model_.setRows(rows); }
    void setFixedRows(int fixedRows);
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;
    void setColumnWidth(int column, int pixels);
    int columnWidth(int column) const;
    void setHeaderColours(const QColor& background, const QColor& text);
    // The colour of the area that no cell covers.
    void setBackdropColour(const QColor& colour);
    QHeaderView* horizontalHeader() const { return header_; }

    // The current row and the selection, in data rows (the rows under the header row).
    int currentRow() const { return currentRow_; }
    int topRow() const;
    int rowHeight() const { return rowHeight_; }
    const RowRanges& selection() const { return selection_; }
    void setCurrentRow(int row);
    void selectAll();
    // The selected rows as the listing's TSV lines, or nothing when they are too many.
    bool copySelection();
    // The TSV lines of the selected rows: every shown column in order, each line ending in LF.
    std::string selectionAsTsv() const;
    // The data row at a point of the viewport, or -1.
    int rowAt(int y) const;
    // Sets the column to the width of its title and of the widest cell in sight.
    void fitColumn(int column);
    // The columns that place rows (Track, Offset, Time, Bar) are hidden at start; shown, they
    // are as wide as their longest text. The header row's context menu shows and hides them.
    void setColumnShown(Column column, bool shown);
    bool isColumnShown(Column column) const;
    // A checkable entry for each of those columns.
    void addColumnToggles(QMenu& menu);
    // Room kept free under the rows, above the horizontal scroll bar, for a bar of tools.
    void setBottomMargin(int pixels);
    // The rows between the header and the bottom margin, in the grid's coordinates.
    QRect rowsArea() const;

signals:
    // The current data row changed, or the rows it stands among did; -1 for none.
    void currentRowChanged(int row);

    // Ctrl+C on a selection of more than kMostRowsCopied rows.
    void copyRefused(std::int64_t rows);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void rowsChanged();
    void updateGeometries();
    void updateRowHeight();
    int rowsInSight() const;
    void moveTo(int row, Qt::KeyboardModifiers modifiers);
    void clickRow(int row, Qt::KeyboardModifiers modifiers);
    void ensureVisible(int row);
    void describeCurrentRow();
    bool showToolTip(const QPoint& position);
    void makeCurrent(int row);
    void paintRow(QPainter& painter, int row, int y, int right) const;
    void placeColumns();
    void showHeaderMenu(const QPoint& position);

    ListingModel model_;
    ColumnTitles* titles_;
    QHeaderView* header_;
    int rowHeight_ = 1;
    int bottomMargin_ = 0;
    int currentRow_ = -1;
    int anchorRow_ = -1;
    RowRanges selection_;
    QColor backdrop_;
    // What was last set, so that reading back a width nobody dragged gives the same twips.
    std::array<int, kAllColumnCount> setTwips_{};
    std::array<int, kAllColumnCount> setPixels_{};
};

} // namespace tracklens::ui
