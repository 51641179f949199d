#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ui/RowMatch.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace tracklens::ui {

class ListingGrid;
class SliceRunner;

// The filter: the grid shows only the rows of chosen kinds, on a channel, that show a text.
// Its index keeps the number of each shown row, 4 bytes a row, and is built a slice at a time,
// each stretch of rows looked at by two threads, half each; Esc cancels the building. Clearing the
// filter keeps the current row.
class FilterDialog final : public QDialog {
    Q_OBJECT

public:
    FilterDialog(ListingGrid& grid, QWidget* parent);

    // Starts building the index of the rows the filter keeps; the grid shows them once built.
    void apply(const RowFilter& filter);
    void clear();
    // Runs what is left of the building here and now.
    void finishBuilding();
    bool building() const { return building_.has_value(); }
    // "N of M rows" while a filter is on, nothing otherwise.
    QString status() const;
    // The filter as the dialog's fields set it.
    RowFilter chosenFilter() const;
    void showFilter(const RowFilter& filter);

    static QString groupName(RowGroup group);

signals:
    // The rows shown changed: a filter was applied or cleared.
    void shownRowsChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Building {
        RowFilterMatch match;
        RowFilterMatch secondMatch; // the second thread's
        std::vector<std::uint32_t> rows;
        std::int64_t next;
        std::int64_t currentTableRow; // the current row when it began
    };
    // What one thread needs to look at a stretch of rows, kept from one stretch to the next.
    struct Looking {
        std::vector<Row> rows;
        std::vector<Row> kept;                // of the kinds kept
        std::vector<std::uint32_t> tableRows; // their table rows
        std::vector<std::uint32_t> found;
        std::vector<std::uint32_t> shown; // the table rows that the filter shows
    };

    bool buildSlice();
    void lookAt(RowFilterMatch& match, std::int64_t from, std::int64_t to, Looking& looking) const;
    void finishIndex();
    void releaseLooking();
    void updateStatus();

    ListingGrid& grid_;
    SliceRunner* runner_;
    QLineEdit* text_;
    QComboBox* channel_;
    std::array<QCheckBox*, kRowGroupCount> groups_{};
    QLabel* status_;
    QProgressBar* progress_;
    std::optional<Building> building_;
    Looking looking_;
    Looking secondLooking_;
};

} // namespace tracklens::ui
