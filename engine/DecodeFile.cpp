#include "engine/DecodeFile.h"

#include <chrono>
#include <cmath>
#include <string>

#include "engine/Conversions.h"
#include "engine/EventWalk.h"

namespace tracklens {

namespace {

using Clock = std::chrono::steady_clock;

// Whole seconds, halves rounded to the even neighbour.
std::int32_t ElapsedSeconds(Clock::time_point start)
{
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return static_cast<std::int32_t>(std::nearbyint(elapsed.count()));
}

void ClearThroughWaitWindow(AnalysisView& view, EventTable& table)
{
    view.runWaitWindow([&table] { table.ClearRows(); });
}

// An unknown status, or a file that is not a Standard MIDI File.
void EndWithStop(AnalysisView& view, EventTable& table, const RunOutcome& outcome)
{
    view.setBusyCursor(false);
    view.setStatusText("");
    ClearThroughWaitWindow(view, table);
    view.ResetListing();
    const OutcomeMessage message = MessageFor(outcome);
    view.showMessage(message.text, message.icon, kApplicationTitle);
}

void EndWithFailure(AnalysisView& view, EventTable& table, const RunOutcome& outcome)
{
    view.setStatusText("");
    ClearThroughWaitWindow(view, table);
    const OutcomeMessage message = MessageFor(outcome);
    view.showMessage(message.text, message.icon, kApplicationTitle);
    view.ResetListing();
    view.setBusyCursor(false);
}

void EndRun(AnalysisView& view, EventTable& table, const RunOutcome& outcome)
{
    if (outcome.kind == RunOutcome::Kind::Failure) {
        EndWithFailure(view, table, outcome);
    } else {
        EndWithStop(view, table, outcome);
    }
}

} // namespace

void DecodeFile(FileBytes content, AnalysisView& view, const ColumnWidths& widths, WalkMode mode)
{
    view.setBusyCursor(true);
    view.PrepareListing(widths);
    EventTable table(std::move(content));
    BasicEventWalk<EventTable> walk(table.content(), table, mode);

    const RunOutcome header = walk.readHeader();
    if (!header.complete()) {
        EndRun(view, table, header);
        return;
    }
    view.ShowHeaderRows(table);
    view.setStatusText("Track Read. Please Wait...");
    const Clock::time_point start = Clock::now();

    const RunOutcome outcome = walk.readChunks();
    if (!outcome.complete()) {
        EndRun(view, table, outcome);
        return;
    }
    std::string caption(kApplicationTitle);
    caption += " (";
    caption += DecimalText(static_cast<std::uint64_t>(table.rowCount()));
    caption += " events)";
    view.setCaption(caption);
    view.setStatusText("Writing. Please Wait...");
    view.WriteListing(std::move(table));
    ClearThroughWaitWindow(view, table);
    std::string status = "Tempo di elaborazione: " + ElapsedText(ElapsedSeconds(start));
    if (mode == WalkMode::KeepGoing) {
        status = "Problems found: " + DecimalText(walk.problems().size()) + " - " + status;
    }
    view.setStatusText(status);
    view.setBusyCursor(false);
}

} // namespace tracklens
