#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ListingText.h"
#include "engine/Bytes.h"
#include "engine/CellContext.h"
#include "engine/Row.h"
#include "engine/RunOutcome.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// The formats a listing is written in, and how each writes its parts. They keep no state, so
// that several batches of rows can be written at once on other threads.
enum class ListingFormat {
    Tsv,
    Csv,
    Json
};

// The six columns of a listing, in their order.
inline constexpr std::array<Column, kColumnCount> kListingColumns = {
    Column::AbsTick, Column::DTime, Column::Event, Column::Ch, Column::Description, Column::Value,
};

// The columns' titles: TSV's title line, CSV's, or the opening of JSON's object.
void AppendTitles(ListingText& out, ListingFormat format, std::span<const Column> columns);

// The lines of rows; startsListing tells whether the first of them is the listing's first.
void AppendRows(ListingText& out, ListingFormat format, ByteSpan file, const CellContext& context,
                std::span<const Row> rows, std::span<const Column> columns, bool startsListing);

// The lines of the rows that a walk lists again from a point of a walk of the same bytes, at
// most rows of them, each written as it is listed: gives how many were listed, which the caller
// checks (see BasicEventWalk::relist()).
std::int32_t AppendRowsListedAgain(ListingText& out, ListingFormat format, ByteSpan file,
                                   const CellContext& context, const WalkPoint& from,
                                   std::int32_t rows, std::span<const Column> columns,
                                   bool startsListing);

// What closes the listing after its rows: JSON's outcome; nothing in TSV and CSV.
void AppendEnd(ListingText& out, ListingFormat format, const RunOutcome& outcome,
               std::int32_t rows);

// Writes lines into a stream through a buffer of its own, made once: the lines of events too
// large to be held as text, whose long cells are written in pieces, and every line once memory
// has run out, when no other buffer can be had.
class DirectLines {
public:
    // Rows that show more bytes than this are written in pieces, never held whole as text.
    static constexpr std::size_t kLargestHeldRow = kSmallBatches ? 48 : std::size_t{1} << 16;

    DirectLines(ListingFormat format, std::span<const Column> columns, const CellContext& context,
                std::ostream& out);

    static bool isLarge(const Row& row) { return row.length > kLargestHeldRow; }

    // A row's line; firstOfListing tells whether it is the listing's first line.
    void write(ByteSpan file, const Row& row, bool firstOfListing);

private:
    template <typename Syntax>
    void writeLine(ByteSpan file, const Row& row, bool firstOfListing);
    template <typename Syntax>
    void appendCell(ByteSpan file, const Row& row, Column column);
    void flushIfFull();

    ListingFormat format_;
    std::vector<Column> columns_;
    CellContext context_;
    std::ostream& out_;
    std::string buffer_;
    std::string piece_; // the text of a piece of a cell's shown bytes
};

// Tab, line feed, carriage return and backslash as \t \n \r \\, other control bytes as \xHH.
void AppendTsvEscaped(std::string& out, std::string_view text);

// A field with its control characters escaped as in TSV (a text of the file may hold them), then
// quoted, with its quotes doubled, when it holds a comma or a quote.
void AppendCsvField(std::string& out, std::string_view text);

} // namespace tracklens
