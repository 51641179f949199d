#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/EventTable.h"
#include "engine/Row.h"

namespace tracklens::ui {

// What Go to can be given.
enum class GoToForm : std::uint8_t {
    Row,     // the row's number, from 1
    AbsTick, // an absolute tick
    Time,    // M:SS.mmm or M:SS
    Bar,     // B, B:b or B:b:TTT, from bar 1 beat 1 tick 0
    Offset,  // a byte of the file, in hexadecimal, with or without 0x
};

struct GoToTarget {
    GoToForm form = GoToForm::Row;
    std::uint64_t value = 0; // the row, tick, offset, milliseconds or bar
    std::uint32_t beat = 1;  // of a bar
    std::uint32_t tick = 0;  // within the beat
};

// The target a text names, or why it names none, in one line for the dialog.
struct GoToParse {
    std::optional<GoToTarget> target;
    std::string error;
};
GoToParse ParseGoTo(GoToForm form, std::string_view text);

// The end of the bytes of the file a row was read from, which begin at RowOffset(row): an
// event's delta time and the event, a chunk row's own bytes.
inline std::uint64_t RowEnd(const Row& row)
{
    return std::uint64_t{row.offset} + row.length;
}

// The table row whose bytes hold the offset or, in a gap between rows, the first row after
// it; -1 past the last row. The rows stand in the file's order, so this looks at a few of them.
std::int64_t TableRowAtOffset(const EventTable& table, std::uint64_t offset);

// The first event, from the top, at or after the tick; -1 when there is none.
std::int64_t TableRowAtTick(const EventTable& table, std::uint64_t tick);

// The first event, from the top, whose Time (or Bar) is at or after the target's, read from the
// text the grid shows for it; -1 when there is none, or when the listing shows no times (no
// bars: a file whose ticks are SMPTE frames).
std::int64_t TableRowAtPlace(const EventTable& table, const GoToTarget& target);

} // namespace tracklens::ui
