#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/EventTable.h"

namespace tracklens::ui {

// The cells of the listing grid. A listing's rows stay in the EventTable it was given, and
// each cell's text is produced by the engine when the grid asks for it; only the few rows
// appended one by one (the header rows shown early) are kept as texts. Nothing is kept per row.
//
// Like the grid it stands for, it counts rows from the top including the fixed header row:
// with one fixed row, grid row 0 holds the titles and grid row r the table's row r. The rows
// under the fixed row are the data rows, counted from 0.
class ListingModel final : public QObject {
    Q_OBJECT

public:
    using RowTexts = std::array<QString, kAllColumnCount>;

    // Display texts longer than this are cut on screen; the full text stays readable.
    static constexpr qsizetype kLongestShownText = 4096;
    // Bytes of a cell's event that are read for its text on screen, and for its tooltip.
    static constexpr std::size_t kMostShownBytes = 4096;

    explicit ListingModel(QObject* parent = nullptr);

    // The grid's own operations.
    void clearCells();
    void setRows(int rows);
    void setFixedRows(int fixedRows);
    void appendRow(const RowTexts& texts);
    void setTitles(const RowTexts& titles);
    void setColumnAlignment(int column, Qt::Alignment alignment);
    // Grid rows 1 to the table's size read their cells from the table from now on.
    void adoptTable(EventTable&& table);

    // How the texts of text events are read, in this listing and every later one; a change
    // shows them anew at once, without walking the file again. Windows-1252 at start.
    void setTextEncoding(TextEncoding encoding);
    TextEncoding textEncoding() const { return textEncoding_; }

    int rows() const { return rows_; }
    int fixedRows() const { return fixedRows_; }
    // The data rows: the rows under the fixed row, or the rows a filter shows.
    int rowCount() const
    {
        return shownRows_ ? static_cast<int>(shownRows_->size()) : rows_ - fixedRows_;
    }

    // The listing's rows as the table holds them; tableRows() of them are shown unfiltered.
    const EventTable& table() const { return table_; }
    int tableRows() const { return tableRows_; }
    // Shows only the table's rows given, in increasing order, as the data rows; nothing shows
    // every row again. A new listing or a change of the rows shows every row.
    void setShownRows(std::optional<std::vector<std::uint32_t>> rows);
    bool filtered() const { return shownRows_.has_value(); }
    // The table row a data row shows, or -1 when it shows none.
    std::int64_t tableRowOf(int dataRow) const;
    // The first data row that shows this table row or one after it, or -1 when none does.
    int dataRowAtOrAfter(std::int64_t tableRow) const;
    Qt::Alignment alignment(int column) const;
    QString title(int column) const;

    // The text of a cell by its grid row, the header row included, in its stored form; a cell
    // of a very large event is cut after the text of kMostShownBytes of its bytes.
    QString cellText(int gridRow, int column) const;
    // A data row's cell as drawn: without the blanks that fill a fixed-width column, cut to
    // kLongestShownText characters.
    QString shownText(int dataRow, int column) const;
    // As long a text as the longest of a column that places rows; see EventTable.
    QString longestPlacingText(Column column) const;
    // A data row's cell as the listing's exports write it (UTF-8).
    std::string exportText(int dataRow, int column) const;

    // Whether a data row is a problem a walk that kept going listed.
    bool isProblemRow(int dataRow) const;
    // The data row of the table that begins at a byte of the file (for an event, its delta time),
    // or the last one that begins before it; -1 when the grid shows no table's rows.
    int dataRowAt(std::uint64_t offset) const;

signals:
    // The rows or their texts changed; the grid draws them anew.
    void rowsChanged();
    void titlesChanged();
    // The table was replaced or emptied: what was found in it no longer holds.
    void tableChanged();

private:
    QString tableCellText(std::size_t row, Column column) const;
    std::int64_t tableRowOfGridRow(int gridRow) const;
    void dropRowsFrom(int gridRow);
    const RowTexts* appendedRow(int gridRow) const;

    int rows_ = 1;
    int fixedRows_ = 0;
    EventTable table_;
    TextEncoding textEncoding_ = TextEncoding::Windows1252;
    int tableRows_ = 0;
    std::vector<std::pair<int, RowTexts>> appendedRows_; // the few rows appended one by one
    // The filter's index: the table rows shown, 4 bytes each.
    std::optional<std::vector<std::uint32_t>> shownRows_;
    RowTexts titles_;
    std::array<Qt::Alignment, kAllColumnCount> alignments_{};
};

} // namespace tracklens::ui
