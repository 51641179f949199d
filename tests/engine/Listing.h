#pragma once

// Small files written inline for the tests, and their listing as texts.

#include <array>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CellText.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"

namespace tracklens::testing {

using Bytes = std::vector<std::uint8_t>;
using RowTexts = std::array<std::string, kColumnCount>;

// Bytes written as hexadecimal digits, blanks between them ignored: "00 FF2F00".
inline Bytes Hex(std::string_view digits)
{
    Bytes bytes;
    int high = -1;
    for (const char c : digits) {
        if (c == ' ') {
            continue;
        }
        const int value = c <= '9' ? c - '0' : c - 'A' + 10;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    return bytes;
}

inline void AppendBigEndian(Bytes& out, std::uint32_t value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

inline Bytes Chunk(const char* tag, const Bytes& body)
{
    Bytes chunk(tag, tag + 4);
    AppendBigEndian(chunk, static_cast<std::uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

inline Bytes Header(std::uint16_t division = 0x60, std::uint16_t tracks = 1)
{
    Bytes header = Hex("4D546864 00000006 0001");
    AppendBigEndian(header, tracks, 2);
    AppendBigEndian(header, division, 2);
    return header;
}

// A header chunk and one MTrk chunk per body.
inline Bytes Smf(std::initializer_list<Bytes> tracks)
{
    Bytes file = Header(0x60, static_cast<std::uint16_t>(tracks.size()));
    for (const Bytes& body : tracks) {
        const Bytes chunk = Chunk("MTrk", body);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

// A file of one track with these events, written in hexadecimal.
inline Bytes Track(std::string_view events)
{
    return Smf({Hex(events)});
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Keeps every row a walk hands over, and the place before it.
class RowsOf final : public RowSink {
public:
    void AddRow(const Row& row, std::size_t, const WalkPoint& before) override
    {
        rows.push_back(row);
        points.push_back(before);
    }
    std::vector<Row> rows;
    std::vector<WalkPoint> points; // before each row
};

// A row's fields, to compare rows with and to print them when they differ.
inline auto Fields(const Row& row)
{
    return std::tuple(row.absTick, row.offset, row.length, row.kind, row.status, row.deltaLength,
                      row.running, row.detail);
}

struct Listing {
    RunOutcome outcome;
    std::vector<RowTexts> rows;
    std::vector<RowTexts> stored;
};

inline Listing List(const Bytes& file)
{
    EventTable table(file);
    Listing listing;
    listing.outcome = WalkFile(table.content(), table);
    for (std::size_t row = 0; row < table.size(); ++row) {
        RowTexts texts;
        RowTexts stored;
        for (std::size_t column = 0; column < kColumnCount; ++column) {
            texts[column] = table.cellText(row, static_cast<Column>(column));
            stored[column] = table.storedCellText(row, static_cast<Column>(column));
        }
        listing.rows.push_back(texts);
        listing.stored.push_back(stored);
    }
    return listing;
}

// Header rows and the two rows of the first track come before the first event.
inline constexpr std::size_t kFirstEventRow = 7;

inline const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// A whole small song of 43 bytes: a tempo, a program, a note on and its note off under running
// status, the end of the track.
inline const Bytes kSmallSong = Hex("4D546864 00000006 0000 0001 0060 4D54726B 00000015"
                                    "00FF510307A120 00C000 00903C64 603C00 00FF2F00");

inline const std::vector<RowTexts> kSmallSongRows = {
    {"", "", "4D546864", "", "MThd", ""},
    {"", "", "00000006", "", "Lunghezza", "6 bytes"},
    {"", "", "0000", "", "Formato", "0"},
    {"", "", "0001", "", "Tracce", "1"},
    {"", "", "0060", "", "TPQN", "96"},
    {"", "", "4D54726B", "", "MTrk", ""},
    {"", "", "00000015", "", "Lunghezza", "21 bytes"},
    {"0", "00", "FF510307A120", "", "Set Tempo", "120"},
    {"0", "00", "C000", "1", "Patch", "0:Acoustic Grand"},
    {"0", "00", "903C64", "1", "NotaON", "Do5 - 100"},
    {"96", "60", "903C00", "1", "+NotaOFF", "Do5"},
    {"96", "00", "FF2F00", "", "End of Track", ""},
};

// A test name made of the letters and digits of a case's name.
inline std::string TestName(std::string name)
{
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

// The same for a table-driven test whose cases have a name.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return TestName(info.param.name);
}

} // namespace tracklens::testing
