#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ListingText.h"
#include "engine/Bytes.h"
#include "engine/CellContext.h"
#include "engine/Row.h"

namespace tracklens::ui {

// The text as a search compares it: ASCII letters and the letters of Latin-1 (the letters of
// the file's Windows-1252 texts, in UTF-8) in lower case, every other byte as it is.
std::string FoldedCase(std::string_view text);
void FoldCase(std::span<char> text);

// Whether a row shows a text in one of a set of columns, compared without case, in each cell's
// text as the grid shows it: the fixed-width columns without their fill, a cell of a very large
// event no further than the grid reads it. It keeps one buffer for every cell it looks at.
class TextMatch {
public:
    TextMatch(std::string_view text, std::vector<Column> columns);

    bool empty() const { return folded_.empty(); }
    bool matches(ByteSpan file, const CellContext& context, const Row& row);

private:
    bool cellMatches(ByteSpan file, const CellContext& context, const Row& row, Column column);

    std::string folded_;
    std::vector<Column> columns_;
    std::string cell_;
};

// The rows of a batch that show a text, found at the pace of the listing's writer: the batch's
// TSV lines are written as tracklens-dump writes them and searched at once, and only the rows
// whose lines hold the text are looked at cell by cell (an escape or the end of a cell the grid
// cuts may make a line hold what no cell shows). A text that an escape would change, and a row
// too large to be held as text, are looked at cell by cell only.
class BatchMatch {
public:
    BatchMatch(std::string_view text, std::vector<Column> columns);

    bool empty() const { return folded_->empty(); }
    // Appends the indexes, within rows, of the rows that show the text, in order.
    void findIn(ByteSpan file, const CellContext& context, std::span<const Row> rows,
                std::vector<std::uint32_t>& found);

private:
    void findInLines(ByteSpan file, const CellContext& context, std::span<const Row> rows,
                     std::vector<std::uint32_t>& found);

    // On the heap, so that the searcher's view of it stays where it is when this moves.
    std::unique_ptr<const std::string> folded_;
    std::vector<Column> columns_; // those that may show the text
    TextMatch cells_;
    bool byLines_;
    std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
    ListingText lines_;
    std::vector<Row> held_;
    std::vector<std::uint32_t> heldIndexes_;
};

// The kinds of rows a filter keeps or leaves out.
enum class RowGroup : std::uint8_t {
    HeaderAndChunks,
    Notes,
    Controllers,
    ProgramChanges,
    PitchBend,
    Aftertouch,
    SystemExclusive,
    Meta,
    SystemMessages,
    Problems, // rows the walk marks as problems; none until it marks any
};
inline constexpr std::size_t kRowGroupCount = 10;
using RowGroups = std::bitset<kRowGroupCount>;

RowGroup GroupOf(const Row& row);

// What a filter keeps: rows of the chosen groups, on a channel (1 to 16, 0 for any; a channel
// keeps channel messages only), that show a text (empty for any).
struct RowFilter {
    std::string text;
    int channel = 0;
    RowGroups groups = RowGroups().set();
};

// A filter made ready to test rows one after the other.
class RowFilterMatch {
public:
    RowFilterMatch(const RowFilter& filter, std::vector<Column> columns);
    // Whether the row is of a kind and on a channel kept, before its text is looked at.
    bool keepsKindOf(const Row& row) const;
    bool keepsEveryKind() const { return groups_.all() && channel_ == 0; }
    BatchMatch& text() { return text_; }

private:
    RowGroups groups_;
    int channel_;
    BatchMatch text_;
};

} // namespace tracklens::ui
