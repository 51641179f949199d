#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "ui/RowMatch.h"
#include "ui/SliceRunner.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;

namespace tracklens::ui {

class ListingGrid;

// The find bar over the bottom of the grid: a text looked for, without case, in the shown
// columns' texts of the rows shown, from the current row on (or back), wrapping around at the
// end. The search runs a slice at a time; Esc cancels it, or hides the bar.
class FindBar final : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(ListingGrid& grid);
    // Runs what is left of the search here and now.
    void finishSearch();
    bool searching() const { return search_.has_value(); }

    // Shows the bar with its text selected, ready for typing.
    void open();
    void close();
    void setText(const QString& text);
    QString text() const;
    // Starts a search for the next or previous match; found and notFound tell how it ended.
    void findNext();
    void findPrevious();
    // What the bar says: "Not found", "Wrapped around", "Searching…" or nothing.
    QString message() const;
    // Places itself between the grid's rows and its scroll bar.
    void place();
    // Says how many rows a filter shows, and sets the Filter toggle to whether one is on.
    void showFilterState(bool on, const QString& status);

signals:
    // The filter toggle of the bar: filter by the bar's text, or stop.
    void filterToggled(bool on, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Search {
        BatchMatch match;
        int next;
        int step;
        std::int64_t visited;
        std::int64_t total;
        bool wrapped;
    };

    void find(int step);
    bool searchSlice();
    void say(const QString& text);

    ListingGrid& grid_;
    SliceRunner* runner_;
    QLineEdit* text_;
    QToolButton* previous_;
    QToolButton* next_;
    QToolButton* filter_;
    QLabel* message_;
    QProgressBar* progress_;
    std::optional<Search> search_;
    std::vector<Row> batch_;
    std::vector<std::uint32_t> found_;
};

// The columns shown in the grid, in the order shown.
std::vector<Column> ShownColumns(const ListingGrid& grid);

} // namespace tracklens::ui
