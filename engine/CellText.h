#pragma once

#include <cstddef>
#include <string>

#include "engine/Bytes.h"
#include "engine/ChannelVoice.h"
#include "engine/Conversions.h"
#include "engine/Row.h"
#include "engine/TextCursor.h"
#include "engine/Windows1252.h"

namespace tracklens {

// The room that the words of the vocabulary leave for what surrounds them in a cell: "127:" and
// " - 127" around a controller's name, the five numbers of an SMPTE offset and their colons, a
// 64-bit tick, and the slack that a piece of a table takes (kPieceWidth).
inline constexpr std::size_t kRoomAroundWords = 6 * kLongestNumber + 4 * kPieceWidth;

// No cell of a row is longer: a word of the vocabulary with what surrounds it, and for each byte
// of the file the row shows (its delta time, its status byte, its data) as much as a byte's text
// can take, two hexadecimal digits or a character of Windows-1252.
inline std::size_t CellRoom(const Row& row)
{
    const std::size_t bytes = std::size_t{row.length} + row.deltaLength + 1;
    return kLongestWord + kRoomAroundWords + kLongestWindows1252 * bytes;
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
// at least CellRoom(row). It is produced from the row and the file's bytes each time and never
// fails. Chunk rows have no tick and no delta time; only channel messages have a channel.
[[gnu::always_inline]] inline void AppendCell(TextCursor& out, ByteSpan file, const Row& row,
                                              Column column)
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
        } else {
            AppendOutOfLine(out, AppendOtherValue, file, row);
        }
        break;
    }
}

std::string CellText(ByteSpan file, const Row& row, Column column);

// The same text in its stored form: the fixed-width columns filled up with blanks.
std::string StoredCellText(ByteSpan file, const Row& row, Column column);

} // namespace tracklens
