// libFuzzer target: the walk over any bytes, every cell of every row read back, and the
// listing written in each format. A crash, a sanitizer report or a broken invariant is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/ListingWriter.h"
#include "engine/CellText.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
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
        for (std::size_t column = 0; column < kColumnCount; ++column) {
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

std::string CellsAsTsv(const EventTable& table)
{
    std::string tsv = "Abs Tick\tDTime\tEvent\tCh\tDescription\tValue\n";
    for (std::size_t index = 0; index < table.size(); ++index) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            AppendTsvEscaped(tsv, table.cellText(index, static_cast<Column>(column)));
            tsv += column + 1 < kColumnCount ? '\t' : '\n';
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteSpan file(data, size);

    EventTable table(ByteSpan(data, size));
    const RunOutcome outcome = WalkFile(table.content(), table);
    CheckOutcome(outcome, size);
    Check(static_cast<std::size_t>(table.rowCount()) == table.size());
    ReadEveryCell(table);

    // The TSV listing is the table's cells, each escaped on its own: the writer's batches and the
    // table's blocks are listed again from where they begin, and must give the same rows.
    {
        std::ostringstream tsv;
        const auto writer = MakeListingWriter(ListingFormat::Tsv, file, tsv);
        writer->writeTitles();
        const RunOutcome written = WalkFile(file, *writer);
        writer->finish(written);
        Check(written.kind == outcome.kind && written.position == outcome.position);
        Check(tsv.str() == CellsAsTsv(table));
    }
    WriteListing(ListingFormat::Csv, file, outcome);
    WriteListing(ListingFormat::Json, file, outcome);
    ReadInEveryEncoding(table, outcome);

    table.ClearRows();
    Check(table.empty());
    return 0;
}
