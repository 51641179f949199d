// libFuzzer target: the walk over any bytes, stopping at problems and keeping going, every cell
// of every row read back, the listing written in each format, and the checks of the file. A
// crash, a sanitizer report or a broken invariant is a finding.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <span>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "cli/FindingsWriter.h"
#include "cli/ListingWriter.h"
#include "engine/CellText.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "engine/FileChecks.h"
#include "engine/RelistPlan.h"
#include "engine/RunOutcome.h"
#include "text/SystemTextDecoders.h"

namespace {

using namespace tracklens;

// Discards what is written.
class NullBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void CheckOutcome(const RunOutcome& outcome, std::size_t size)
{
    const OutcomeMessage message = MessageFor(outcome);
    switch (outcome.kind) {
    case RunOutcome::Kind::Complete:
        Check(message.text.empty());
        break;
    case RunOutcome::Kind::NotMidi:
        Check(message.icon == MessageIcon::Exclamation);
        break;
    case RunOutcome::Kind::UnknownStatus:
        Check(outcome.status == 0x00 || outcome.status == 0xF4 || outcome.status == 0xF5 ||
              outcome.status == 0xF9 || outcome.status == 0xFD);
        Check(outcome.position >= 1 && outcome.position <= size);
        Check(message.text.rfind("Pos.", 0) == 0 && message.icon == MessageIcon::Exclamation);
        break;
    case RunOutcome::Kind::Failure: {
        const int code = static_cast<int>(outcome.code);
        Check(code == 5 || code == 6 || code == 7 || code == 9 || code == 11);
        Check(message.text.rfind("Errore " + std::to_string(code) + "\r\n", 0) == 0);
        Check(message.icon == MessageIcon::Critical);
        break;
    }
    }
}

void ReadEveryCell(const EventTable& table)
{
    const std::size_t size = table.content().size();
    for (std::size_t index = 0; index < table.size(); ++index) {
        const Row row = table.row(index);
        Check(std::uint64_t{row.offset} + row.length <= size);
        for (std::size_t column = 0; column < kAllColumnCount; ++column) {
            const auto which = static_cast<Column>(column);
            const std::string text = table.cellText(index, which);
            const std::string stored = table.storedCellText(index, which);
            Check(stored.size() >= FixedWidth(which));
            Check(stored.compare(0, text.size(), text) == 0);
        }
        Check(table.cellText(index, Column::DTime).size() <= 8);
        Check(table.cellText(index, Column::Ch).size() <= 2);
    }
}

std::string CellsAsTsv(const EventTable& table, std::span<const Column> columns = kListingColumns)
{
    std::string tsv;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        tsv += ColumnTitle(columns[i]);
        tsv += i + 1 < columns.size() ? '\t' : '\n';
    }
    for (std::size_t index = 0; index < table.size(); ++index) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            AppendTsvEscaped(tsv, table.cellText(index, columns[i]));
            tsv += i + 1 < columns.size() ? '\t' : '\n';
        }
    }
    return tsv;
}

void WriteListing(ListingFormat format, ByteSpan file, const RunOutcome& expected)
{
    NullBuffer sink;
    std::ostream out(&sink);
    const auto writer = MakeListingWriter(format, file, out);
    writer->writeTitles();
    const RunOutcome outcome = WalkFile(file, *writer);
    writer->finish(outcome);
    Check(outcome.kind == expected.kind && outcome.position == expected.position);
    Check(static_cast<bool>(out));
}

// In every encoding of texts each cell fits its room (checked by TRACKLENS_CHECK_ROOM); in
// Shift-JIS, whose characters a piece of a large text may cut most ways, the TSV listing written
// in pieces is also the table's cells.
void ReadInEveryEncoding(EventTable& table, const RunOutcome& expected)
{
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Automatic}) {
        table.setTextEncoding(encoding, &SystemTextDecoders());
        ReadEveryCell(table);
    }
    table.setTextEncoding(TextEncoding::ShiftJis, &SystemTextDecoders());
    std::ostringstream tsv;
    const CellContext context = table.cellContext();
    const auto writer =
        MakeListingWriter(ListingFormat::Tsv, table.content(), tsv, kListingColumns, context);
    writer->writeTitles();
    const RunOutcome written = WalkFile(table.content(), *writer);
    writer->finish(written);
    Check(written.kind == expected.kind && written.position == expected.position);
    Check(tsv.str() == CellsAsTsv(table));
    table.setTextEncoding(TextEncoding::Windows1252, nullptr);
}

// The table's rows and cells, and the TSV listing as the table's cells, each escaped on its own:
// the writer's batches and the table's blocks are listed again from where they begin, and must
// give the same rows. Gives the outcome and the number of Problem rows.
std::pair<RunOutcome, std::size_t> ListAndCompare(ByteSpan file, WalkMode mode)
{
    EventTable table(file);
    const RunOutcome outcome = WalkFile(table.content(), table, mode);
    CheckOutcome(outcome, file.size());
    Check(static_cast<std::size_t>(table.rowCount()) == table.size());
    ReadEveryCell(table);
    std::size_t problems = 0;
    for (std::size_t index = 0; index < table.size(); ++index) {
        problems += table.row(index).kind == RowKind::Problem ? 1 : 0;
    }
    // Stretches of rows listed without the table's cache, as the filter's threads read them.
    for (std::size_t first = 0; first < table.size(); first += 5) {
        std::vector<Row> stretch;
        table.listRows(first, 7, stretch);
        Check(stretch.size() == std::min<std::size_t>(7, table.size() - first));
        for (std::size_t at = 0; at < stretch.size(); ++at) {
            Check(stretch[at] == table.row(first + at));
        }
    }
    Check(mode == WalkMode::KeepGoing || problems == 0);
    {
        std::ostringstream tsv;
        const auto writer = MakeListingWriter(ListingFormat::Tsv, file, tsv);
        writer->writeTitles();
        const RunOutcome written = WalkFile(file, *writer, mode);
        writer->finish(written);
        Check(written.kind == outcome.kind && written.position == outcome.position);
        Check(tsv.str() == CellsAsTsv(table));
    }
    // Every column, with the time maps of a walk of their own: the table's, made during its walk.
    {
        const TimeMaps maps = GatherTimeMaps(file, mode);
        // Walked in two halves at once or in one piece, the same maps.
        Check(maps == GatherTimeMaps(file, mode, 0) &&
              maps == GatherTimeMaps(file, mode, SIZE_MAX));
        std::ostringstream tsv;
        const auto writer =
            MakeListingWriter(ListingFormat::Tsv, file, tsv, kAllColumns, CellContext{&maps, {}});
        writer->writeTitles();
        writer->finish(WalkFile(file, *writer, mode));
        Check(tsv.str() == CellsAsTsv(table, kAllColumns));
        // Planned by the walk that gathers the maps, in halves at any size, the same listing.
        RelistPlan plan(ListingWriter::kPlanLimits);
        const TimeMaps plannedMaps = GatherTimeMaps(file, mode, 0, &plan);
        std::ostringstream planned;
        const auto plannedWriter = MakeListingWriter(ListingFormat::Tsv, file, planned, kAllColumns,
                                                     CellContext{&plannedMaps, {}});
        plannedWriter->writeTitles();
        plannedWriter->writePlanned(plan);
        Check(planned.str() == tsv.str());
        Check(plan.outcome().kind == outcome.kind && plan.outcome().position == outcome.position);
        Check(plan.problems().size() == problems);
    }
    if (mode == WalkMode::StopAtProblem) {
        ReadInEveryEncoding(table, outcome);
    }
    table.ClearRows();
    Check(table.empty());
    return {outcome, problems};
}

// Findings sorted by offset, then code; each within the file, or at its end for a chunk that
// runs past it.
void CheckFindings(ByteSpan file, std::size_t problems)
{
    const CheckResult result = CheckFile(file);
    std::size_t walkProblems = 0;
    for (std::size_t i = 0; i < result.findings.size(); ++i) {
        const Finding& finding = result.findings[i];
        Check(finding.place.offset <= file.size());
        Check(!finding.message.empty());
        Check(i == 0 || result.findings[i - 1].place.offset < finding.place.offset ||
              (result.findings[i - 1].place.offset == finding.place.offset &&
               result.findings[i - 1].code <= finding.code));
        const FindingCode code = finding.code;
        walkProblems += code == FindingCode::UnknownStatus || code == FindingCode::MissingByte ||
                                code == FindingCode::ValueOutOfRange ||
                                code == FindingCode::TempoZero
                            ? 1
                            : 0;
    }
    // Every format writes them, the messages' texts of the file included.
    for (const ListingFormat format :
         {ListingFormat::Tsv, ListingFormat::Csv, ListingFormat::Json}) {
        NullBuffer sink;
        std::ostream out(&sink);
        WriteFindings(out, format, result.findings);
        Check(static_cast<bool>(out));
    }
    // Every problem row of the walk is one finding.
    Check(!result.outcome.complete() || walkProblems == problems);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteSpan file(data, size);

    const RunOutcome outcome = ListAndCompare(file, WalkMode::StopAtProblem).first;
    WriteListing(ListingFormat::Csv, file, outcome);
    WriteListing(ListingFormat::Json, file, outcome);

    // Keeping going ends the same way where nothing stops the walk inside a track.
    const auto [keptGoing, problems] = ListAndCompare(file, WalkMode::KeepGoing);
    if (outcome.complete()) {
        Check(keptGoing.complete() && problems == 0);
    }
    CheckFindings(file, problems);
    return 0;
}
