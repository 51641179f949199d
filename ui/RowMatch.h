#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Bytes.h"
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
    bool matches(ByteSpan file, const Row& row);

private:
    bool cellMatches(ByteSpan file, const Row& row, Column column);

    std::string folded_;
    std::vector<Column> columns_;
    std::string cell_;
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
    bool matches(ByteSpan file, const Row& row);

private:
    RowGroups groups_;
    int channel_;
    TextMatch text_;
};

} // namespace tracklens::ui
