#include "ui/RowMatch.h"

#include <array>
#include <optional>

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

void FoldCase(std::span<char> text)
{
    const std::size_t size = text.size();
    for (std::size_t at = 0; at < size; ++at) {
        const auto byte = static_cast<std::uint8_t>(text[at]);
        if (byte == kLatin1Lead && at + 1 < size) {
            const auto second = static_cast<std::uint8_t>(text[at + 1]);
            if (IsLatin1Capital(second)) {
                text[at + 1] = static_cast<char>(second + kSmallFromCapital);
            }
            ++at;
            continue;
        }
        text[at] = kLowerAscii[byte];
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

bool TextMatch::matches(ByteSpan file, const Row& row)
{
    if (folded_.empty()) {
        return true;
    }
    for (const Column column : columns_) {
        if (cellMatches(file, row, column)) {
            return true;
        }
    }
    return false;
}

// The cell's text is written into the one buffer; a cell of a very large event only as far as
// the grid reads it.
bool TextMatch::cellMatches(ByteSpan file, const Row& row, Column column)
{
    constexpr std::size_t most = ListingModel::kMostShownBytes;
    const std::optional<ShownBytes> shown = BytesShownBy(file, row, column);
    const bool cut = shown && shown->bytes.size() > most;
    const std::size_t room = cut ? kPieceWidth + ShownBytesRoom(most) : CellRoom(file, row, column);
    if (cell_.size() < room) {
        cell_.resize(room);
    }
    TextCursor out(cell_.data(), cell_.data() + room);
    if (cut) {
        if (shown->leadingStatus) {
            AppendHexByte(out, *shown->leadingStatus);
        }
        AppendShownBytes(out, shown->form, shown->bytes.first(most));
    } else {
        AppendCell(out, file, row, column);
    }
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

RowFilterMatch::RowFilterMatch(const RowFilter& filter, std::vector<Column> columns)
    : groups_(filter.groups)
    , channel_(filter.channel)
    , text_(filter.text, std::move(columns))
{
}

bool RowFilterMatch::matches(ByteSpan file, const Row& row)
{
    const RowGroup group = GroupOf(row);
    if (!groups_.test(static_cast<std::size_t>(group))) {
        return false;
    }
    if (channel_ != 0 && (!IsChannelGroup(group) || (row.status & 0x0F) + 1 != channel_)) {
        return false;
    }
    return text_.matches(file, row);
}

} // namespace tracklens::ui
