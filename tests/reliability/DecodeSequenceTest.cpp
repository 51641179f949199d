// One analysis after another in the same view, over damaged files: after each, the view is left
// as the run's ending requires, whatever the file before it did.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/DecodeFile.h"
#include "engine/EventWalk.h"
#include "tests/reliability/Damage.h"
#include "tests/reliability/ListingChecks.h"
#include "tests/support/Listing.h"
#include "tests/support/RecordingView.h"
#include "tests/support/SampleFiles.h"

namespace tracklens::testing {
namespace {

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

            view.calls.clear();
            view.caption = "Tracklens"; // as the Analysis command leaves it before the run
            view.status.clear();
            DecodeFile(FileBytes::CopyOf(bytes), view, kInitialColumnWidths);
            ++runs;

            EXPECT_FALSE(view.busy);
            EXPECT_EQ(view.count("WaitWindow"), 1u);
            if (outcome.complete()) {
                EXPECT_EQ(view.count("Message"), 0u);
                EXPECT_EQ(view.written.size(), sink.rows.size());
                EXPECT_EQ(view.caption,
                          "Tracklens (" + std::to_string(sink.rows.size()) + " events)");
                EXPECT_EQ(view.status.rfind("Tempo di elaborazione: ", 0), 0u) << view.status;
            } else {
                const OutcomeMessage message = MessageFor(outcome);
                EXPECT_EQ(view.count("Message"), 1u);
                EXPECT_EQ(view.message, message.text);
                EXPECT_EQ(view.icon, message.icon);
                EXPECT_EQ(view.title, "Tracklens");
                EXPECT_EQ(view.rowsShown, 0u);
                EXPECT_TRUE(view.written.empty());
                EXPECT_EQ(view.caption, "Tracklens");
                EXPECT_EQ(view.status, "");
                // A failure shows its message before the listing is reset, a stop after.
                const auto at = [&view](std::string_view word) {
                    return std::find_if(
                        view.calls.begin(), view.calls.end(),
                        [word](const std::string& c) { return c.starts_with(word); });
                };
                EXPECT_EQ(at("Message") < at("ResetListing"),
                          outcome.kind == RunOutcome::Kind::Failure);
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
