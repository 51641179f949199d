#pragma once

#include <functional>
#include <string_view>

#include "engine/ColumnWidths.h"
#include "engine/EventTable.h"
#include "engine/RunOutcome.h"

namespace tracklens {

// What an analysis run drives: the listing grid, the status label, the caption, the mouse
// pointer, a message box and the wait window. Texts are UTF-8.
class AnalysisView {
public:
    virtual ~AnalysisView() = default;

    // All cells cleared, one row, six columns of the given widths, left-aligned.
    virtual void PrepareListing(const ColumnWidths& widths) = 0;
    // The table's first five rows under the header row of titles, shown at once.
    virtual void ShowHeaderRows(const EventTable& table) = 0;
    // Every row of the table, under the header row; the listing takes the rows over.
    virtual void WriteListing(EventTable&& table) = 0;
    // All cells cleared, no header row, one row.
    virtual void ResetListing() = 0;

    // Sets the status label and repaints it at once.
    virtual void setStatusText(std::string_view text) = 0;
    virtual void setCaption(std::string_view text) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    virtual void showMessage(std::string_view text, MessageIcon icon, std::string_view title) = 0;

    // Shows the wait window, runs clearRows while it is on screen, and closes it again.
    virtual void runWaitWindow(const std::function<void()>& clearRows) = 0;

protected:
    AnalysisView() = default;
    AnalysisView(const AnalysisView&) = default;
    AnalysisView& operator=(const AnalysisView&) = default;
};

} // namespace tracklens
