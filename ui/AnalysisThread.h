#pragma once

#include <QObject>
#include <functional>

#include "engine/AnalysisView.h"

namespace tracklens::ui {

// Runs work on a thread of its own, so that the window keeps painting while a file is read and
// walked. Meanwhile the window's thread handles everything but user input (repaints, moves,
// resizes, and the operations the work hands over to it); user input waits until the work is
// over. Returns when the work has ended; what the work throws is thrown here.
void RunOffWindowThread(const std::function<void()>& work);

// From the work's thread: does an operation on the window's thread and waits until it is done.
// What the operation throws is thrown here.
void OnWindowThread(QObject& window, const std::function<void()>& operation);

// A view whose every operation is done on the window's thread, in the order of the run, while
// the run waits for it.
class WindowThreadView final : public AnalysisView {
public:
    WindowThreadView(QObject& window, AnalysisView& view)
        : window_(window)
        , view_(view)
    {
    }

    void PrepareListing(const ColumnWidths& widths) override;
    void ShowHeaderRows(const EventTable& table) override;
    void WriteListing(EventTable&& table) override;
    void ResetListing() override;
    void setStatusText(std::string_view text) override;
    void setCaption(std::string_view text) override;
    void setBusyCursor(bool busy) override;
    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override;
    void runWaitWindow(const std::function<void()>& clearRows) override;

private:
    QObject& window_;
    AnalysisView& view_;
};

} // namespace tracklens::ui
