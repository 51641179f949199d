// One analysis after another in the same view, over damaged files: after each, the view is left
// as the run's ending requires, whatever the file before it did.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/AnalysisView.h"
#include "engine/DecodeFile.h"
#include "engine/EventWalk.h"
#include "tests/reliability/Damage.h"
#include "tests/reliability/ListingChecks.h"
#include "tests/support/Listing.h"
#include "tests/support/SampleFiles.h"

namespace tracklens::testing {
namespace {

// What the run left on screen, and whether the run kept the order of its steps.
class RecordingView final : public AnalysisView {
public:
    void startRun()
    {
        messages = 0;
        lastMessage.clear();
        listed = 0;
        cellsRead = 0;
        waitWindows = 0;
        resetAfterMessage = false;
    }

    void PrepareListing(const ColumnWidths&) override
    {
        rowsShown = 0;
        headerShown = false;
    }
    void ShowHeaderRows(const EventTable& table) override
    {
        headerShown = true;
        rowsShown = table.size() < 5 ? table.size() : 5;
    }
    void WriteListing(EventTable&& table) override
    {
        listing = std::move(table);
        listed = listing.size();
        rowsShown = listed;
        for (std::size_t i = 0; i < listing.size(); ++i) {
            for (std::size_t column = 0; column < kColumnCount; ++column) {
                textBytes += listing.storedCellText(i, static_cast<Column>(column)).size();
                ++cellsRead;
            }
        }
    }
    void ResetListing() override
    {
        listing = EventTable();
        rowsShown = 0;
        headerShown = false;
        resetAfterMessage = messages > 0;
    }
    void SetStatusText(std::string_view text) override { status = text; }
    void SetCaption(std::string_view text) override { caption = text; }
    void SetBusyCursor(bool isBusy) override { busy = isBusy; }
    void ShowMessage(std::string_view text, MessageIcon shownIcon,
                     std::string_view shownTitle) override
    {
        ++messages;
        lastMessage = text;
        icon = shownIcon;
        title = shownTitle;
    }
    void RunWaitWindow(const std::function<void()>& clearRows) override
    {
        ++waitWindows;
        clearRows();
    }

    EventTable listing;
    std::size_t rowsShown = 0;
    bool headerShown = false;
    std::size_t listed = 0;
    std::size_t cellsRead = 0;
    std::size_t textBytes = 0;
    std::string status;
    std::string caption = "Tracklens";
    bool busy = false;
    int messages = 0;
    std::string lastMessage;
    MessageIcon icon = MessageIcon::Information;
    std::string title;
    int waitWindows = 0;
    bool resetAfterMessage = false;
};

TEST(DecodeSequence, EveryRunLeavesTheViewAsItsEndingRequires)
{
    RecordingView view;
    FixedRandom random(7);
    const std::vector<samples::SampleFile> files = samples::SampleFiles();
    int runs = 0;
    std::map<RunOutcome::Kind, int> endings;
    for (int round = 0; round < 40; ++round) {
        for (const samples::SampleFile& sample : files) {
            std::string what;
            const std::vector<std::uint8_t> bytes =
                round == 0 ? sample.bytes : Damaged(sample.bytes, random, what);
            SCOPED_TRACE(sample.name + " " + what);
            RowsOf sink;
            const RunOutcome outcome = WalkFile(bytes, sink);
            ++endings[outcome.kind];

            view.startRun();
            view.caption = "Tracklens"; // as the Analysis command leaves it before the run
            view.status.clear();
            DecodeFile(FileBytes::CopyOf(bytes), view, kInitialColumnWidths);
            ++runs;

            EXPECT_FALSE(view.busy);
            EXPECT_EQ(view.waitWindows, 1);
            if (outcome.complete()) {
                EXPECT_EQ(view.messages, 0);
                EXPECT_EQ(view.listed, sink.rows.size());
                EXPECT_EQ(view.cellsRead, 6 * sink.rows.size());
                EXPECT_EQ(view.caption,
                          "Tracklens (" + std::to_string(sink.rows.size()) + " events)");
                EXPECT_EQ(view.status.rfind("Tempo di elaborazione: ", 0), 0u) << view.status;
            } else {
                const OutcomeMessage message = MessageFor(outcome);
                EXPECT_EQ(view.messages, 1);
                EXPECT_EQ(view.lastMessage, message.text);
                EXPECT_EQ(view.icon, message.icon);
                EXPECT_EQ(view.title, "Tracklens");
                EXPECT_EQ(view.rowsShown, 0u);
                EXPECT_FALSE(view.headerShown);
                EXPECT_EQ(view.listed, 0u);
                EXPECT_EQ(view.caption, "Tracklens");
                EXPECT_EQ(view.status, "");
                // A failure shows its message before the listing is reset, a stop after.
                EXPECT_EQ(view.resetAfterMessage, outcome.kind == RunOutcome::Kind::Failure);
            }
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
    EXPECT_EQ(runs, 40 * static_cast<int>(files.size()));
    EXPECT_GT(endings[RunOutcome::Kind::Complete], 0);
    EXPECT_GT(endings[RunOutcome::Kind::NotMidi], 0);
    EXPECT_GT(endings[RunOutcome::Kind::UnknownStatus], 0);
    EXPECT_GT(endings[RunOutcome::Kind::Failure], 0);
}

} // namespace
} // namespace tracklens::testing
