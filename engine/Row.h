#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace tracklens {

// What a row of the listing is. Chunk-level rows have no tick and no delta time.
enum class RowKind : std::uint8_t {
    HeaderTag,
    HeaderLength,
    HeaderFormat,
    HeaderTracks,
    HeaderDivision,
    TrackTag,
    TrackLength,
    ChunkTag,
    ChunkLength,
    RiffTag, // the RIFF container around a Standard MIDI File (RMID)
    RiffLength,
    RiffForm,
    RiffChunkTag,    // a chunk of the container
    RiffChunkLength, // little-endian
    ChannelVoice,
    SystemExclusive,
    SysExEscape,
    SystemMessage,
    Meta,
    Problem, // where a walk that keeps going met a problem; detail holds its ProblemCode
};

// The problems a walk that keeps going lists as rows: the unknown status, or the failure's code.
enum class ProblemCode : std::uint16_t {
    UnknownStatus = 0,
    MissingByte = 5,
    NotInTable = 9,
    ZeroTempo = 11,
};

constexpr bool IsChunkRow(RowKind kind)
{
    return kind <= RowKind::RiffChunkLength;
}

// One row of the listing, kept as positions into the file's bytes: its six texts are produced
// from these fields and the bytes whenever a cell is read. It is trivial, so that blocks of rows
// are not written twice; make one with Row row{}.
struct Row {
    std::uint64_t absTick; // absolute tick of an event within its track
    std::uint32_t offset;  // 0-based offset of the first byte of the row in the file
    std::uint32_t length;  // bytes the file holds for the row from offset
    RowKind kind;
    std::uint8_t status;      // status byte after running status
    std::uint8_t deltaLength; // delta-time bytes standing right before offset
    bool running;             // the status byte is not in the file at offset
    std::uint16_t detail;     // decoder's own: SysEx maker and message, meta data offset
                              // (the ProblemCode of a Problem row)
    std::uint32_t track;      // 1-based number of the MTrk chunk of the row; 0 outside one

    friend bool operator==(const Row&, const Row&) = default;
};

// Offsets are 32-bit, so no file larger than this can be listed.
inline constexpr std::uint64_t kLargestFileSize = 0xFFFFFFFFu;

static_assert(std::is_trivial_v<Row>);
static_assert(sizeof(Row) <= 32, "rows must stay compact: tens of millions are kept at once");

// The first six are the listing's own, shown from the start; the others say where a row stands
// in the file and in time, and are shown on request.
enum class Column : std::uint8_t {
    AbsTick,
    DTime,
    Event,
    Ch,
    Description,
    Value,
    Track,
    Offset,
    Time,
    Bar,
};

inline constexpr std::size_t kColumnCount = 6;
inline constexpr std::size_t kAllColumnCount = 10;

// Titles and the names a command line chooses columns by, in the order of Column.
inline constexpr std::array<std::string_view, kAllColumnCount> kColumnTitles = {
    "Abs Tick", "DTime", "Event", "Ch", "Description", "Value", "Track", "Offset", "Time", "Bar",
};
inline constexpr std::array<std::string_view, kAllColumnCount> kColumnNames = {
    "tick", "delta", "event", "channel", "description", "value", "track", "offset", "time", "bar",
};

// Every column in the order they stand in when shown together.
inline constexpr std::array<Column, kAllColumnCount> kAllColumns = {
    Column::Track, Column::Offset, Column::AbsTick, Column::Time,        Column::Bar,
    Column::DTime, Column::Event,  Column::Ch,      Column::Description, Column::Value,
};

constexpr std::string_view ColumnTitle(Column column)
{
    return kColumnTitles[static_cast<std::size_t>(column)];
}

// The position of a row's first byte in the file: an event's delta time, a field's or a chunk
// tag's or length's first byte.
constexpr std::uint64_t RowOffset(const Row& row)
{
    return IsChunkRow(row.kind) ? row.offset : std::uint64_t{row.offset} - row.deltaLength;
}

// Columns stored at a fixed width are filled up with blanks to it.
constexpr std::size_t FixedWidth(Column column)
{
    switch (column) {
    case Column::AbsTick:
    case Column::DTime:
        return 8;
    case Column::Ch:
        return 2;
    default:
        return 0;
    }
}

} // namespace tracklens
