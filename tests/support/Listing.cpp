#include "tests/support/Listing.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "cli/ListingWriter.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "engine/RelistPlan.h"
#include "engine/TimeMaps.h"

namespace tracklens {

void PrintTo(const Row& row, std::ostream* out)
{
    *out << "{kind " << static_cast<int>(row.kind) << ", offset " << row.offset << ", length "
         << row.length << ", tick " << row.absTick << ", status " << static_cast<int>(row.status)
         << (row.running ? " running" : "") << ", delta bytes " << int{row.deltaLength}
         << ", detail " << row.detail << ", track " << row.track << "}";
}

} // namespace tracklens

namespace tracklens::testing {

namespace {

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size() - 1);
        lines.push_back(text.substr(0, end + 1));
        text.remove_prefix(end + 1);
    }
    return lines;
}

// A line as it reads in a failure: tabs and the line's end made visible.
std::string Shown(std::string_view line)
{
    std::string shown;
    for (const char c : line) {
        shown += c == '\t'   ? std::string(" | ")
                 : c == '\n' ? std::string("\\n")
                             : std::string(1, c);
    }
    return shown;
}

} // namespace

Bytes Track(std::string_view events)
{
    return Smf({Hex(events)});
}

Bytes RunningNotes(std::size_t count)
{
    Bytes notes;
    for (std::size_t i = 0; i < count; ++i) {
        notes.insert(notes.end(), {0x01, static_cast<std::uint8_t>(i % 128), 0x40});
    }
    return notes;
}

Listing List(ByteSpan file, WalkMode mode)
{
    EventTable table(file);
    Listing listing;
    listing.outcome = WalkFile(table.content(), table, mode);
    for (std::size_t row = 0; row < table.size(); ++row) {
        RowTexts texts;
        RowTexts stored;
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            texts[column] = table.cellText(row, static_cast<Column>(column));
            stored[column] = table.storedCellText(row, static_cast<Column>(column));
        }
        listing.rows.push_back(texts);
        listing.stored.push_back(stored);
    }
    return listing;
}

std::string WriteListing(ListingFormat format, ByteSpan file, WalkMode mode,
                         std::span<const Column> columns)
{
    const TimeMaps maps = GatherTimeMaps(file, mode);
    std::ostringstream out;
    const auto writer = MakeListingWriter(format, file, out, columns, CellContext{&maps, {}});
    writer->writeTitles();
    writer->finish(WalkFile(file, *writer, mode));
    return out.str();
}

std::string WritePlannedListing(ListingFormat format, ByteSpan file, WalkMode mode,
                                std::span<const Column> columns, std::int32_t partRows,
                                std::size_t partBytes, std::size_t largestHeldRow)
{
    RelistPlan plan({partRows, partBytes, largestHeldRow});
    const TimeMaps maps = GatherTimeMaps(file, mode, 0, &plan);
    std::ostringstream out;
    const auto writer = MakeListingWriter(format, file, out, columns, CellContext{&maps, {}});
    writer->writeTitles();
    writer->writePlanned(plan);

    RowsOf walked;
    EventWalk walk(file, walked, mode);
    const RunOutcome header = walk.readHeader();
    const RunOutcome outcome = header.complete() ? walk.readChunks() : header;
    EXPECT_EQ(plan.outcome().kind, outcome.kind);
    EXPECT_EQ(plan.outcome().position, outcome.position);
    EXPECT_EQ(plan.problems().size(), walk.problems().size());
    return out.str();
}

std::string ListingOfCells(ListingFormat format, ByteSpan file)
{
    const bool tsv = format == ListingFormat::Tsv;
    const auto append = tsv ? AppendTsvEscaped : AppendCsvField;
    EventTable table(file);
    WalkFile(table.content(), table);
    std::string text;
    for (std::size_t row = 0; row <= table.size(); ++row) {
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            append(text, row == 0 ? std::string(kColumnTitles[column])
                                  : table.cellText(row - 1, static_cast<Column>(column)));
            text += column + 1 < kColumnCount ? (tsv ? "\t" : ",") : (tsv ? "\n" : "\r\n");
        }
    }
    return text;
}

::testing::AssertionResult SameLines(std::string_view expected, std::string_view actual)
{
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    const std::vector<std::string_view> want = Lines(expected);
    const std::vector<std::string_view> got = Lines(actual);
    auto failure = ::testing::AssertionFailure();
    failure << want.size() << " lines expected, " << got.size() << " written";
    int shown = 0;
    for (std::size_t i = 0; i < std::max(want.size(), got.size()) && shown < 3; ++i) {
        const std::string_view a = i < want.size() ? want[i] : "(none)";
        const std::string_view b = i < got.size() ? got[i] : "(none)";
        if (a != b) {
            ++shown;
            failure << "\nline " << i + 1 << ":\n  expected: " << Shown(a)
                    << "\n  written:  " << Shown(b);
        }
    }
    return failure;
}

std::string TestName(std::string name)
{
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

} // namespace tracklens::testing
