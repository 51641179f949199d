#include "ui/RowMatch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>

#include "cli/ListingFormat.h"
#include "cli/ListingText.h"
#include "engine/CellText.h"
#include "engine/TextCursor.h"
#include "ui/ListingModel.h"

namespace tracklens::ui {

namespace {

constexpr std::array<char, 256> kLowerAscii = [] {
    std::array<char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        const bool upper = byte >= 'A' && byte <= 'Z';
        table[byte] = static_cast<char>(upper ? byte + ('a' - 'A') : byte);
    }
    return table;
}();

// The second byte of a capital of Latin-1 in UTF-8 (C3 80 to C3 9E, but not the sign of
// multiplication, C3 97), and of its small letter.
constexpr std::uint8_t kLatin1Lead = 0xC3;
constexpr bool IsLatin1Capital(std::uint8_t second)
{
    return second >= 0x80 && second <= 0x9E && second != 0x97;
}
constexpr std::uint8_t kSmallFromCapital = 0x20;

bool IsChannelGroup(RowGroup group)
{
    return group >= RowGroup::Notes && group <= RowGroup::Aftertouch;
}

} // namespace

// ASCII capitals to small letters eight bytes at a time: a byte is a capital when adding
// 0x80 - 'A' to its low seven bits sets its top bit and adding 0x7F - 'Z' does not, and its own
// top bit is clear; 0x20 is that top bit moved down two places.
[[gnu::always_inline]] inline std::uint64_t LowerAsciiWord(std::uint64_t word)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTops = 0x80 * kOnes;
    const std::uint64_t low = word & ~kTops;
    const std::uint64_t fromA = low + (0x80 - 'A') * kOnes;
    const std::uint64_t pastZ = low + (0x7F - 'Z') * kOnes;
    const std::uint64_t capitals = ~word & (fromA ^ pastZ) & kTops;
    return word | capitals >> 2;
}

void FoldCase(std::span<char> text)
{
    const std::size_t size = text.size();
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        word = LowerAsciiWord(word);
        std::memcpy(text.data() + at, &word, 8);
    }
    for (; at < size; ++at) {
        text[at] = kLowerAscii[static_cast<std::uint8_t>(text[at])];
    }
    // The letters of Latin-1, after their lead byte.
    char* from = text.data();
    char* const last = text.data() + size - (size > 0 ? 1 : 0); // a lead byte needs one after it
    while (from < last) {
        auto* lead = static_cast<char*>(
            std::memchr(from, kLatin1Lead, static_cast<std::size_t>(last - from)));
        if (lead == nullptr) {
            break;
        }
        const auto second = static_cast<std::uint8_t>(lead[1]);
        if (IsLatin1Capital(second)) {
            lead[1] = static_cast<char>(second + kSmallFromCapital);
        }
        from = lead + 2;
    }
}

std::string FoldedCase(std::string_view text)
{
    std::string folded(text);
    FoldCase(folded);
    return folded;
}

TextMatch::TextMatch(std::string_view text, std::vector<Column> columns)
    : folded_(FoldedCase(text))
    , columns_(std::move(columns))
{
}

bool TextMatch::matches(ByteSpan file, const CellContext& context, const Row& row)
{
    if (folded_.empty()) {
        return true;
    }
    for (const Column column : columns_) {
        if (cellMatches(file, context, row, column)) {
            return true;
        }
    }
    return false;
}

// The cell's text is written into the one buffer; a cell of a very large event only as far as
// the grid reads it.
bool TextMatch::cellMatches(ByteSpan file, const CellContext& context, const Row& row,
                            Column column)
{
    constexpr std::size_t most = ListingModel::kMostShownBytes;
    const std::size_t room = CellStartRoom(file, row, column, context, most);
    if (cell_.size() < room) {
        cell_.resize(room);
    }
    TextCursor out(cell_.data(), cell_.data() + room);
    AppendCellStart(out, file, row, column, context, most);
    const auto length = static_cast<std::size_t>(out.at() - cell_.data());
    const std::string_view text(cell_.data(), length);
    if (text.size() < folded_.size()) {
        return false;
    }
    // Folded in place: the buffer's text is written anew for the next cell.
    FoldCase(std::span(cell_.data(), length));
    return text.find(folded_) != std::string_view::npos;
}

RowGroup GroupOf(const Row& row)
{
    switch (row.kind) {
    case RowKind::ChannelVoice:
        switch (row.status & 0xF0) {
        case 0x80:
        case 0x90:
            return RowGroup::Notes;
        case 0xA0:
        case 0xD0:
            return RowGroup::Aftertouch;
        case 0xB0:
            return RowGroup::Controllers;
        case 0xC0:
            return RowGroup::ProgramChanges;
        default:
            return RowGroup::PitchBend;
        }
    case RowKind::SystemExclusive:
    case RowKind::SysExEscape:
        return RowGroup::SystemExclusive;
    case RowKind::SystemMessage:
        return RowGroup::SystemMessages;
    case RowKind::Meta:
        return RowGroup::Meta;
    default:
        return RowGroup::HeaderAndChunks;
    }
}

// BatchMatch

namespace {

// Rows written as lines at once; the lines of a batch stay in the processor's cache.
constexpr std::size_t kRowsPerLines = 512;

// Whether a text may be changed by TSV's escapes, which only control bytes and the backslash
// take: a text without them that a cell shows is in the cell's line too.
bool EscapesMayChange(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == 0x7F;
    });
}

// The line feeds of a text, eight bytes at a time: a byte of x = word ^ 0A0A... is zero when
// adding 7F to its low seven bits leaves its top bit clear and its own top bit is clear too.
std::size_t CountLineEnds(std::string_view text)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kLows = 0x7F * kOnes;
    std::size_t count = 0;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        const std::uint64_t x = word ^ ('\n' * kOnes);
        const std::uint64_t zeros = ~(((x & kLows) + kLows) | x | kLows);
        count += static_cast<std::size_t>(std::popcount(zeros));
    }
    for (; at < text.size(); ++at) {
        count += text[at] == '\n' ? 1u : 0u;
    }
    return count;
}

// Whether a text found in a line is surely in one cell as the grid shows it: no escape is near
// it (the longest, \\xHH, begins at most three characters before a character it stands for, and
// the text holds no tab), and the row is short enough for no cell of it to be cut short.
bool InOneCellAsShown(std::string_view lines, std::size_t at, std::size_t length, const Row& row)
{
    constexpr std::size_t kEscapeReach = 3;
    const std::size_t from = at > kEscapeReach ? at - kEscapeReach : 0;
    return row.length < ListingModel::kMostShownBytes &&
           lines.substr(from, at + length - from).find('\\') == std::string_view::npos;
}

// Whether a column can show the text: the numbers and the hexadecimal columns show nothing but
// digits, or hexadecimal digits, whatever the row.
bool MayShow(Column column, std::string_view folded)
{
    const auto allOf = [folded](std::string_view characters) {
        return folded.find_first_not_of(characters) == std::string_view::npos;
    };
    switch (column) {
    case Column::AbsTick:
    case Column::Ch:
    case Column::Track:
        return allOf("0123456789");
    case Column::DTime:
    case Column::Event:
    case Column::Offset:
        return allOf("0123456789abcdef");
    case Column::Time:
        return allOf("0123456789:.");
    case Column::Bar:
        return allOf("0123456789:");
    default:
        return true;
    }
}

std::vector<Column> ColumnsThatMayShow(std::vector<Column> columns, std::string_view folded)
{
    std::erase_if(columns, [folded](Column column) { return !MayShow(column, folded); });
    return columns;
}

} // namespace

BatchMatch::BatchMatch(std::string_view text, std::vector<Column> columns)
    : folded_(std::make_unique<const std::string>(FoldedCase(text)))
    , columns_(ColumnsThatMayShow(std::move(columns), *folded_))
    , cells_(text, columns_)
    , byLines_(!EscapesMayChange(text))
    , searcher_(folded_->begin(), folded_->end())
{
    held_.reserve(kRowsPerLines);
    heldIndexes_.reserve(kRowsPerLines);
}

void BatchMatch::findIn(ByteSpan file, const CellContext& context, std::span<const Row> rows,
                        std::vector<std::uint32_t>& found)
{
    if (columns_.empty()) {
        return;
    }
    if (cells_.empty()) {
        for (std::size_t index = 0; index < rows.size(); ++index) {
            found.push_back(static_cast<std::uint32_t>(index));
        }
        return;
    }
    if (!byLines_) {
        for (std::size_t index = 0; index < rows.size(); ++index) {
            if (cells_.matches(file, context, rows[index])) {
                found.push_back(static_cast<std::uint32_t>(index));
            }
        }
        return;
    }
    for (std::size_t start = 0; start < rows.size(); start += kRowsPerLines) {
        const std::size_t end = std::min(rows.size(), start + kRowsPerLines);
        const std::size_t before = found.size();
        findInLines(file, context, rows.subspan(start, end - start), found);
        for (std::size_t at = before; at < found.size(); ++at) {
            found[at] += static_cast<std::uint32_t>(start);
        }
    }
}

// The rows whose lines hold the text, then those of them that show it.
void BatchMatch::findInLines(ByteSpan file, const CellContext& context, std::span<const Row> rows,
                             std::vector<std::uint32_t>& found)
{
    const std::size_t before = found.size();
    held_.clear();
    heldIndexes_.clear();
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (DirectLines::isLarge(rows[index])) {
            if (cells_.matches(file, context, rows[index])) {
                found.push_back(static_cast<std::uint32_t>(index));
            }
            continue;
        }
        held_.push_back(rows[index]);
        heldIndexes_.push_back(static_cast<std::uint32_t>(index));
    }
    ListingText& lines = lines_;
    lines.clear();
    AppendRows(lines, ListingFormat::Tsv, file, context, held_, columns_, false);
    const std::string_view text = lines.view();
    char* const data = const_cast<char*>(text.data());
    FoldCase(std::span(data, text.size()));
    const auto find = [this, text](std::size_t from) {
        const auto at =
            std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), searcher_);
        return at == text.end() ? std::string_view::npos
                                : static_cast<std::size_t>(at - text.begin());
    };
    std::size_t line = 0;
    std::size_t lineStart = 0;
    for (std::size_t at = find(0); at != std::string_view::npos;) {
        // The line the text is on: count the line ends before it.
        line += CountLineEnds(text.substr(lineStart, at - lineStart));
        if (line < held_.size() && (InOneCellAsShown(text, at, folded_->size(), held_[line]) ||
                                    cells_.matches(file, context, held_[line]))) {
            found.push_back(heldIndexes_[line]);
        }
        const std::size_t next = text.find('\n', at);
        if (next == std::string_view::npos) {
            break;
        }
        lineStart = next + 1;
        ++line;
        at = find(lineStart);
    }
    // The rows written directly were looked at first: put the found back in order.
    std::sort(found.begin() + static_cast<std::ptrdiff_t>(before), found.end());
}

RowFilterMatch::RowFilterMatch(const RowFilter& filter, std::vector<Column> columns)
    : groups_(filter.groups)
    , channel_(filter.channel)
    , text_(filter.text, std::move(columns))
{
}

bool RowFilterMatch::keepsKindOf(const Row& row) const
{
    const RowGroup group = GroupOf(row);
    if (!groups_.test(static_cast<std::size_t>(group))) {
        return false;
    }
    return channel_ == 0 || (IsChannelGroup(group) && (row.status & 0x0F) + 1 == channel_);
}

} // namespace tracklens::ui
