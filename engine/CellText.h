#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

#include "engine/Bytes.h"
#include "engine/CellContext.h"
#include "engine/ChannelVoice.h"
#include "engine/Conversions.h"
#include "engine/MetaEvents.h"
#include "engine/Row.h"
#include "engine/TextCursor.h"
#include "engine/Windows1252.h"

namespace tracklens {

// The room that the words of the vocabulary leave for what surrounds them in a cell: "127:" and
// " - 127" around a controller's name, the five numbers of an SMPTE offset and their colons, a
// 64-bit tick, and the slack that a piece of a table takes (kPieceWidth).
inline constexpr std::size_t kRoomAroundWords = 6 * kLongestNumber + 4 * kPieceWidth;

// The columns that place a row need no word of the vocabulary: its room is theirs.
inline constexpr std::size_t kLongestOffset = 16;
static_assert(TimeMaps::kLongestText <= kRoomAroundWords && kLongestOffset <= kRoomAroundWords);
// A controller's or a program's name is written as a whole piece after its number and colon.
static_assert(kNamePieceWidth + 4 <= kRoomAroundWords);

// The most bytes of the file that a cell shows one after the other: a delta time or a chunk's
// tag, but all of the row's bytes in its Event column and a text event's data in its Value.
inline constexpr std::size_t kLongestFewBytes = 4;

[[gnu::always_inline]] inline std::size_t BytesACellShows(ByteSpan file, const Row& row,
                                                          Column column)
{
    if (column == Column::Event) {
        return std::size_t{row.length} + 1;
    }
    if (column == Column::Value && row.kind == RowKind::Meta) {
        const std::optional<ByteSpan> text = MetaText(file, row);
        return text ? std::max(text->size(), kLongestFewBytes) : kLongestFewBytes;
    }
    return kLongestFewBytes;
}

// No cell of a row is longer: a word of the vocabulary with what surrounds it, and for each byte
// of the file the cell shows as much as a byte's text can take, two hexadecimal digits or a
// character of Windows-1252, which is also the most any encoding of a text writes for a byte.
static_assert(kLongestDecodedByte <= kLongestWindows1252);
[[gnu::always_inline]] inline std::size_t CellRoom(ByteSpan file, const Row& row, Column column)
{
    return kLongestWord + kRoomAroundWords +
           kLongestWindows1252 * BytesACellShows(file, row, column);
}

// The Description and Value of every row but a channel message's, which are written inline.
void AppendOtherDescription(TextCursor& out, ByteSpan file, const Row& row);
void AppendOtherValue(TextCursor& out, ByteSpan file, const Row& row);

// A text written by a function that is not inlined, through a copy of the cursor: the cursor of
// a line then never leaves the registers of the inlined writers.
inline void AppendOutOfLine(TextCursor& out, void (*append)(TextCursor&, ByteSpan, const Row&),
                            ByteSpan file, const Row& row)
{
    TextCursor cursor = out;
    append(cursor, file, row);
    out = cursor;
}

// The text of one cell of a row, as the grid shows it and every format writes it, into room of
// at least CellRoom(file, row, column). It is produced from the row, the file's bytes and the
// context each time and never fails. Chunk rows have no tick, delta time, time or bar; only
// channel messages have a channel.
[[gnu::always_inline]] inline void AppendCell(TextCursor& out, ByteSpan file, const Row& row,
                                              Column column, const CellContext& context)
{
    const bool chunkRow = IsChunkRow(row.kind);
    const bool channelVoice = row.kind == RowKind::ChannelVoice;
    switch (column) {
    case Column::AbsTick:
        if (!chunkRow) {
            AppendUnsigned(out, row.absTick);
        }
        break;
    case Column::DTime:
        if (!chunkRow) {
            AppendHexBytes(out, file.subspan(row.offset - row.deltaLength, row.deltaLength));
        }
        break;
    case Column::Event:
        // The status byte first, also where running status leaves it out of the file.
        if (row.running) {
            AppendHexByte(out, row.status);
        }
        AppendHexBytes(out, file.subspan(row.offset, row.length));
        break;
    case Column::Ch:
        if (channelVoice) {
            AppendDecimal(out, static_cast<std::uint8_t>((row.status & 0x0F) + 1));
        }
        break;
    case Column::Description:
        if (channelVoice) {
            AppendChannelVoiceDescription(out, file, row);
        } else {
            AppendOutOfLine(out, AppendOtherDescription, file, row);
        }
        break;
    case Column::Value:
        if (channelVoice) {
            AppendChannelVoiceValue(out, file, row);
        } else if (row.kind == RowKind::Meta) {
            TextCursor cursor = out;
            AppendMetaValue(cursor, file, row, context.texts);
            out = cursor;
        } else {
            AppendOutOfLine(out, AppendOtherValue, file, row);
        }
        break;
    case Column::Track:
        // Files of more than 255 tracks are rare: their numbers are worked out.
        if (row.track > 0xFF) {
            AppendUnsigned(out, row.track);
        } else if (row.track != 0) {
            AppendDecimal(out, static_cast<std::uint8_t>(row.track));
        }
        break;
    case Column::Offset:
        AppendHexNumber(out, RowOffset(row), 8);
        break;
    case Column::Time:
        if (context.timeMaps != nullptr) {
            context.timeMaps->appendTime(out, row, context.placingHints);
        }
        break;
    case Column::Bar:
        if (context.timeMaps != nullptr) {
            context.timeMaps->appendBar(out, row, context.placingHints);
        }
        break;
    }
}

std::string CellText(ByteSpan file, const Row& row, Column column, const CellContext& context);

// The file's bytes that a cell shows one after the other, and how: the Event column's bytes in
// hexadecimal (after the status byte that running status leaves out), a text event's data as
// text in its Value, in the encoding the context chooses for it. Nothing else a cell shows grows
// with the file, so a writer can write every cell of the largest event in pieces of these bytes.
struct ShownBytes {
    enum class Form {
        Hexadecimal,
        Text,
    };
    Form form;
    ByteSpan bytes;
    std::optional<std::uint8_t> leadingStatus;         // written before the bytes
    TextEncoding encoding = TextEncoding::Windows1252; // of a text
};

std::optional<ShownBytes> BytesShownBy(ByteSpan file, const Row& row, Column column,
                                       const CellContext& context);

// The piece of a cell's text that a part of its shown bytes makes; gives the bytes used. Unless
// the part is the last, a character it ends in the middle of is left for the next part, which
// begins with the bytes not used (fewer than four).
std::size_t AppendShownBytes(TextCursor& out, const ShownBytes& shown, ByteSpan bytes,
                             const CellContext& context, bool last);
inline std::size_t ShownBytesRoom(std::size_t bytes)
{
    return kLongestWindows1252 * bytes;
}

// The start of a cell's text, from at most most of its shown bytes, into room of at least
// CellStartRoom(); tells whether it was cut. For a view that shows only the start of a cell of
// a very large event.
std::size_t CellStartRoom(ByteSpan file, const Row& row, Column column, const CellContext& context,
                          std::size_t most);
bool AppendCellStart(TextCursor& out, ByteSpan file, const Row& row, Column column,
                     const CellContext& context, std::size_t most);
std::string CellTextStart(ByteSpan file, const Row& row, Column column, const CellContext& context,
                          std::size_t most, bool& cut);

// The same text in its stored form: the fixed-width columns filled up with blanks.
std::string StoredCellText(ByteSpan file, const Row& row, Column column,
                           const CellContext& context);

} // namespace tracklens
