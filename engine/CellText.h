#pragma once

#include <cstddef>
#include <string>

#include "engine/Bytes.h"
#include "engine/ChannelVoice.h"
#include "engine/Conversions.h"
#include "engine/Row.h"

namespace tracklens {

// The text of one cell of a row, as the listing shows it and every export writes it. It is
// produced from the row and the file's bytes each time and never fails.
void AppendCellText(std::string& out, ByteSpan file, const Row& row, Column column);
std::string CellText(ByteSpan file, const Row& row, Column column);

// The cells that every event shows alike: its delta time and all its bytes, the status byte
// first even where running status leaves it out of the file.
template <typename Out>
void AppendDeltaTimeText(Out& out, ByteSpan file, const Row& row)
{
    AppendHexBytes(out, file.subspan(row.offset - row.deltaLength, row.deltaLength));
}

template <typename Out>
void AppendEventBytesText(Out& out, ByteSpan file, const Row& row)
{
    if (row.running) {
        AppendHexByte(out, row.status);
    }
    AppendHexBytes(out, file.subspan(row.offset, row.length));
}

// The cells of a channel message row, which most rows of a listing are: defined here so that a
// writer can write them through a TextCursor.
template <typename Out>
void AppendChannelVoiceCellText(Out& out, ByteSpan file, const Row& row, Column column)
{
    switch (column) {
    case Column::AbsTick:
        AppendUnsigned(out, row.absTick);
        break;
    case Column::DTime:
        AppendDeltaTimeText(out, file, row);
        break;
    case Column::Event:
        AppendEventBytesText(out, file, row);
        break;
    case Column::Ch:
        AppendDecimal(out, static_cast<std::uint8_t>((row.status & 0x0F) + 1));
        break;
    case Column::Description:
        AppendChannelVoiceDescription(out, file, row);
        break;
    case Column::Value:
        AppendChannelVoiceValue(out, file, row);
        break;
    }
}

// The longest delta time (four bytes) and message (three) that a channel message row holds.
inline constexpr std::size_t kLongestDeltaTime = 4;
inline constexpr std::size_t kLongestChannelVoice = 3;

// No line of such a row is longer: its six cells (a 64-bit tick, the delta time and the message
// in hexadecimal, a channel of two digits, its Description and Value) and their separators.
inline constexpr std::size_t kLongestChannelVoiceLine =
    20 + 2 * kLongestDeltaTime + 2 * kLongestChannelVoice + 2 + kLongestChannelVoiceDescription +
    kLongestChannelVoiceValue + kColumnCount;

// The same text in its stored form: the fixed-width columns filled up with blanks.
std::string StoredCellText(ByteSpan file, const Row& row, Column column);

} // namespace tracklens
