#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <utility>
#include <vector>

#include "engine/EventTable.h"

namespace tracklens::ui {

// The cells of the listing grid. A listing's rows stay in the EventTable it was given, and
// each cell's text is produced by the engine when the view asks for it; only the few rows
// appended one by one (the header rows shown early) are kept as texts.
//
// Like the grid it stands for, it counts rows from the top including the fixed header row:
// with one fixed row, grid row 0 holds the titles and grid row r the table's row r.
class ListingModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    using RowTexts = std::array<QString, kColumnCount>;

    // Display texts longer than this are cut on screen; the full text stays readable.
    static constexpr qsizetype kLongestShownText = 4096;
    static constexpr int FullTextRole = Qt::UserRole;

    explicit ListingModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The grid's own operations.
    void clearCells();
    void setRows(int rows);
    void setFixedRows(int fixedRows);
    void appendRow(const RowTexts& texts);
    void setTitles(const RowTexts& titles);
    void setColumnAlignment(int column, Qt::Alignment alignment);
    // Grid rows 1 to the table's size read their cells from the table from now on.
    void adoptTable(EventTable&& table);

    int rows() const { return rows_; }
    int fixedRows() const { return fixedRows_; }
    // The text of a cell by its grid row, the header row included.
    QString cellText(int gridRow, int column) const;

private:
    void dropRowsFrom(int gridRow);

    int rows_ = 1;
    int fixedRows_ = 0;
    EventTable table_;
    int tableRows_ = 0;
    std::vector<std::pair<int, RowTexts>> appendedRows_;
    RowTexts titles_;
    std::array<Qt::Alignment, kColumnCount> alignments_{};
};

} // namespace tracklens::ui
