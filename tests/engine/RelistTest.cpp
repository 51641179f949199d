// A walk taken up again from any point of a whole walk lists the same rows as the whole walk.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

std::vector<Row> Relisted(const Bytes& file, const WalkPoint& point, std::size_t count)
{
    RowsOf sink;
    EventWalk(file, sink).relist(point, static_cast<std::int32_t>(count));
    return sink.rows;
}

TEST(Relist, FromEveryPointOfAWalkListsTheSameRows)
{
    const struct {
        const char* name;
        Bytes file;
        WalkMode mode = WalkMode::StopAtProblem;
    } cases[] = {
        {"small song", kSmallSong},
        // Running status carried into the next track, a chunk that is not a track, bytes after
        // End of Track, a track cut short by the file's end.
        {"chunks and running status",
         Concat({Header({.tracks = 4}), Chunk("MTrk", Hex("00 903C40 8140 3E40 00 FF2F00 00 F8")),
                 Chunk("XFIH", Hex("010203")), Chunk("MTrk", Hex("00 4040 00 C005 00 06")),
                 Hex("4D54726B 00000040 BAEF9A15 903C40 00 F0024110 00 4140")})},
        {"ends in a failure", Track("00 903C40 00 3E40 00 FF0301 41 00 903C")},
        {"ends at an unknown status", Track("00 903C40 05 3E40 00 F4")},
        // A file inside an RMID container, between two chunks of the container.
        {"RMID container",
         Concat({Hex("52494646 00000000 524D4944 4C495354 01000000 41 00 64617461 2B000000"),
                 kSmallSong, Hex("00 4C495354 00000000")})},
        // Past a number beyond a table, a tempo of 0, an unknown status and a missing byte, with
        // the running status of the event that failed.
        {"keeps going past its problems",
         Concat({Header({.tracks = 3}),
                 Chunk("MTrk", Hex("00 B08010 00 0764 00 FF5103000000 00 F4 0102")),
                 Chunk("MTrk", Hex("00 9040 00 FF2F00")), Chunk("MTrk", Hex("00 3C40 00 FF2F00"))}),
         WalkMode::KeepGoing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RowsOf whole;
        WalkFile(c.file, whole, c.mode);
        ASSERT_GT(whole.rows.size(), 8u);

        std::size_t points = 0;
        for (std::size_t first = 0; first < whole.rows.size(); ++first) {
            if (!BeginsAWalk(whole.rows[first].kind)) {
                continue;
            }
            ++points;
            const WalkPoint& point = whole.points[first];
            const std::size_t left = whole.rows.size() - first;
            for (const std::size_t count : {std::size_t{1}, std::size_t{2}, left}) {
                SCOPED_TRACE(::testing::Message() << "row " << first << ", " << count << " rows");
                const std::vector<Row> relisted = Relisted(c.file, point, std::min(count, left));
                ASSERT_EQ(relisted.size(), std::min(count, left));
                for (std::size_t i = 0; i < relisted.size(); ++i) {
                    EXPECT_EQ(relisted[i], whole.rows[first + i]) << "row " << i;
                }
            }
        }
        // Every row is a point but the header's five, the container's tag and form, and each
        // length.
        const auto others = std::count_if(whole.rows.begin(), whole.rows.end(), [](const Row& row) {
            return row.kind <= RowKind::HeaderDivision || row.kind == RowKind::TrackLength ||
                   row.kind == RowKind::ChunkLength || row.kind == RowKind::RiffTag ||
                   row.kind == RowKind::RiffLength || row.kind == RowKind::RiffForm ||
                   row.kind == RowKind::RiffChunkLength;
        });
        EXPECT_EQ(points, whole.rows.size() - static_cast<std::size_t>(others));
    }
}

} // namespace
} // namespace tracklens::testing
