#pragma once

// A view that records, in order, what an analysis run asks of it, and keeps what it shows.

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AnalysisView.h"
#include "tests/support/Listing.h"

namespace tracklens::testing {

class RecordingView final : public AnalysisView {
public:
    std::vector<std::string> calls; // one line for each request, in order
    std::vector<RowTexts> written;  // the rows of the listing handed over, read back
    std::size_t rowsShown = 0;      // the header's while the walk runs, then the listing's
    std::string status;
    std::string caption = "Tracklens";
    bool busy = false;
    std::string message; // the last message box's text, icon and title
    MessageIcon icon = MessageIcon::Information;
    std::string title;

    // How many calls begin with this word.
    std::size_t count(std::string_view word) const
    {
        return static_cast<std::size_t>(
            std::count_if(calls.begin(), calls.end(),
                          [word](const std::string& call) { return call.starts_with(word); }));
    }

    void PrepareListing(const ColumnWidths& widths) override
    {
        shown_ = nullptr;
        std::string call = "PrepareListing";
        for (const std::int32_t width : widths) {
            call += ' ' + std::to_string(width);
        }
        calls.push_back(call);
    }
    void ShowHeaderRows(const EventTable& table) override
    {
        shown_ = &table;
        rowsShown = table.size();
        calls.push_back("ShowHeaderRows " + std::to_string(table.size()));
    }
    void WriteListing(EventTable&& table) override
    {
        const EventTable listing = std::move(table);
        written.clear();
        for (std::size_t row = 0; row < listing.size(); ++row) {
            RowTexts texts;
            for (std::size_t column = 0; column < kColumnCount; ++column) {
                texts[column] = listing.cellText(row, static_cast<Column>(column));
            }
            written.push_back(texts);
        }
        rowsShown = listing.size();
        calls.push_back("WriteListing " + std::to_string(listing.size()));
    }
    void ResetListing() override
    {
        written.clear();
        rowsShown = 0;
        calls.push_back("ResetListing");
    }
    void setStatusText(std::string_view text) override
    {
        status = text;
        calls.push_back("Status " + status);
    }
    void setCaption(std::string_view text) override
    {
        caption = text;
        calls.push_back("Caption " + caption);
    }
    void setBusyCursor(bool isBusy) override
    {
        busy = isBusy;
        calls.push_back(busy ? "Hourglass" : "Pointer");
    }
    void showMessage(std::string_view text, MessageIcon shownIcon,
                     std::string_view shownTitle) override
    {
        message = text;
        icon = shownIcon;
        title = shownTitle;
        const char* iconName = icon == MessageIcon::Critical      ? "Critical"
                               : icon == MessageIcon::Exclamation ? "Exclamation"
                                                                  : "Information";
        calls.push_back("Message " + std::string(iconName) + ' ' + title + ' ' +
                        message.substr(0, message.find('\r')));
    }
    void runWaitWindow(const std::function<void()>& clearRows) override
    {
        clearRows();
        // The table the header rows were shown from holds nothing once the window closes.
        calls.push_back(shown_ == nullptr ? "WaitWindow"
                                          : "WaitWindow " + std::to_string(shown_->size()));
    }

private:
    const EventTable* shown_ = nullptr;
};

} // namespace tracklens::testing
