#pragma once

#include <QTableView>
#include <array>

#include "engine/ColumnWidths.h"
#include "ui/ListingModel.h"

namespace tracklens::ui {

// The listing grid: a table view over a ListingModel, with the operations the analysis uses
// on it. Column widths are set and read in twips.
class ListingGrid final : public QTableView {
    Q_OBJECT

public:
    explicit ListingGrid(QWidget* parent = nullptr);

    ListingModel& listing() { return model_; }
    const ListingModel& listing() const { return model_; }

    void clearCells() { model_.clearCells(); }
    void setRows(int rows) { model_.setRows(rows); }
    void setFixedRows(int fixedRows);
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;
    void setHeaderColours(const QColor& background, const QColor& text);

private:
    ListingModel model_;
    // What was last set, so that reading back a width nobody dragged gives the same twips.
    std::array<int, kColumnCount> setTwips_{};
    std::array<int, kColumnCount> setPixels_{};
};

} // namespace tracklens::ui
