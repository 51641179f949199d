// libFuzzer target: the walk over any bytes, every cell of every row read back, and the
// listing written in each format. A crash, a sanitizer report or a broken invariant is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/ListingWriter.h"
#include "engine/CellText.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "engine/RunOutcome.h"

namespace {

using namespace tracklens;

// Discards what is written, counting the line feeds.
class CountingNullBuffer final : public std::streambuf {
public:
    std::size_t lines() const { return lines_; }

protected:
    int_type overflow(int_type c) override
    {
        if (c == '\n') {
            ++lines_;
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        for (std::streamsize i = 0; i < count; ++i) {
            if (text[i] == '\n') {
                ++lines_;
            }
        }
        return count;
    }

private:
    std::size_t lines_ = 0;
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
    std::string text;
    for (std::size_t index = 0; index < table.size(); ++index) {
        const Row& row = table.row(index);
        Check(std::uint64_t{row.offset} + row.length <= size);
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            text.clear();
            AppendCellText(text, table.content(), row, static_cast<Column>(column));
            const std::string stored =
                StoredCellText(table.content(), row, static_cast<Column>(column));
            Check(stored.size() >= FixedWidth(static_cast<Column>(column)));
            Check(stored.compare(0, text.size(), text) == 0);
        }
        Check(table.cellText(index, Column::DTime).size() <= 8);
        Check(table.cellText(index, Column::Ch).size() <= 2);
    }
}

void WriteListing(ListingFormat format, ByteSpan file, const RunOutcome& expected)
{
    CountingNullBuffer sink;
    std::ostream out(&sink);
    const auto writer = MakeListingWriter(format, file, out);
    writer->writeTitles();
    const RunOutcome outcome = WalkFile(file, *writer);
    writer->finish(outcome);
    Check(outcome.kind == expected.kind && outcome.position == expected.position);
    Check(static_cast<bool>(out));
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

    // TSV has one line per row under the title line: escaping keeps line feeds out of cells.
    {
        CountingNullBuffer sink;
        std::ostream out(&sink);
        const auto writer = MakeListingWriter(ListingFormat::Tsv, file, out);
        writer->writeTitles();
        const RunOutcome written = WalkFile(file, *writer);
        writer->finish(written);
        Check(written.kind == outcome.kind && written.position == outcome.position);
        Check(sink.lines() == table.size() + 1);
    }
    WriteListing(ListingFormat::Csv, file, outcome);
    WriteListing(ListingFormat::Json, file, outcome);

    table.ClearRows();
    Check(table.empty());
    return 0;
}
