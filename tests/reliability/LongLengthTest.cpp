// Lengths that claim more than the file holds: meta, SysEx, F7 and chunk lengths of 0x0FFFFFFF
// and more, and chunks that run past the end. Each file is walked from a buffer of exactly its
// size, so a read past its last byte is caught, and the rows are cut where the bytes end.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/CellText.h"
#include "tests/reliability/ListingChecks.h"
#include "tests/support/Listing.h"
#include "tests/support/RunProgram.h"

namespace tracklens::testing {
namespace {

// A track chunk whose declared length is its body's, or the one given.
Bytes Mtrk(const Bytes& body)
{
    return Chunk("MTrk", body);
}

Bytes Mtrk(std::uint32_t length, const Bytes& body)
{
    return Chunk("MTrk", length, body);
}

constexpr std::uint64_t kAfterTheEnd = 0; // the position of the byte after the file's last

struct LengthCase {
    std::string name;
    Bytes file;
    RunOutcome::Kind kind;
    FailureCode code;
    std::uint64_t position; // of a failure: 1-based, or kAfterTheEnd
    std::size_t rows;
    std::size_t shownRow; // the row whose texts are checked
    std::string event;
    std::string description;
    std::string value;
};

constexpr auto kComplete = RunOutcome::Kind::Complete;
constexpr auto kFailure = RunOutcome::Kind::Failure;
constexpr FailureCode kNoCode = FailureCode::MissingByte;

std::vector<LengthCase> LengthCases()
{
    return {
        {"meta text of 0x0FFFFFFF bytes ending with the file",
         Concat({Header(), Mtrk({0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'})}),
         kComplete, kNoCode, 0, 8, 7, "FF01FFFFFF7F616263", "Text", "abc"},
        {"meta text of 0x0FFFFFFF bytes cut by its track, another track after it",
         Concat({Header(), Mtrk({0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}),
                 Mtrk(kEndOfTrack)}),
         kComplete, kNoCode, 0, 11, 7, "FF01FFFFFF7F6162", "Text", "ab"},
        {"time signature of 0x0FFFFFFF bytes with two of its four fields",
         Concat({Header(), Mtrk({0x00, 0xFF, 0x58, 0xFF, 0xFF, 0xFF, 0x7F, 0x04, 0x02})}), kFailure,
         FailureCode::MissingByte, kAfterTheEnd, 7, 6, "00000009", "Lunghezza", "9 bytes"},
        {"set tempo of 0x0FFFFFFF bytes with one of them",
         Concat({Header(), Mtrk({0x00, 0xFF, 0x51, 0xFF, 0xFF, 0xFF, 0x7F, 0x07})}), kComplete,
         kNoCode, 0, 8, 7, "FF51FFFFFF7F07", "Set Tempo", "8571428"},
        {"set tempo of 0x0FFFFFFF bytes with none of them",
         Concat({Header(), Mtrk({0x00, 0xFF, 0x51, 0xFF, 0xFF, 0xFF, 0x7F})}), kFailure,
         FailureCode::ZeroTempo, 24, 7, 5, "4D54726B", "MTrk", ""},
        {"SysEx of 0x0FFFFFFF bytes",
         Concat({Header(), Mtrk({0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F, 0x43, 0x10})}), kComplete,
         kNoCode, 0, 8, 7, "F0FFFFFF7F4310", "SysEx (Yamaha)", ""},
        {"SysEx of 0x0FFFFFFF bytes with none of them",
         Concat({Header(), Mtrk({0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F})}), kComplete, kNoCode, 0, 8,
         7, "F0FFFFFF7F", "SysEx ", ""},
        {"F7 escape of 0x0FFFFFFF bytes",
         Concat({Header(), Mtrk({0x00, 0xF7, 0xFF, 0xFF, 0xFF, 0x7F, 0xF8})}), kComplete, kNoCode,
         0, 8, 7, "F7FFFFFF7FF8", "SysEx F7", ""},
        {"length cut inside its variable-length bytes at the end of the file",
         Concat({Header(), Mtrk({0x00, 0xFF, 0x01, 0xFF, 0xFF})}), kFailure,
         FailureCode::MissingByte, kAfterTheEnd, 7, 6, "00000005", "Lunghezza", "5 bytes"},
        {"length cut at the end of its track, inside the file",
         Concat({Header(), Mtrk({0x00, 0xF0, 0xFF, 0xFF, 0xFF}), Mtrk(kEndOfTrack)}), kFailure,
         FailureCode::MissingByte, 28, 7, 6, "00000005", "Lunghezza", "5 bytes"},
        {"track of 0x0FFFFFFF bytes",
         Concat({Header(), Mtrk(0x0FFFFFFF, {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
         kComplete, kNoCode, 0, 9, 6, "0FFFFFFF", "Lunghezza", "268435455 bytes"},
        {"track of 0xFFFFFFFF bytes",
         Concat({Header(), Mtrk(0xFFFFFFFF, {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00})}),
         kComplete, kNoCode, 0, 9, 6, "FFFFFFFF", "Lunghezza", "4294967295 bytes"},
        {"unknown chunk of 0x0FFFFFFF bytes",
         Concat({Header(), Chunk("XYZW", 0x0FFFFFFF, {0x01, 0x02, 0x03})}), kComplete, kNoCode, 0,
         7, 6, "0FFFFFFF", "Lunghezza", "268435455 bytes"},
        {"header of 0xFFFFFFFF bytes", Concat({Header({.length = 0xFFFFFFFF}), Mtrk(kEndOfTrack)}),
         kComplete, kNoCode, 0, 5, 1, "FFFFFFFF", "Lunghezza", "4294967295 bytes"},
        {"track running past the end, cut inside a note",
         Concat({Header(), Mtrk(0x40, {0x00, 0x90, 0x3C})}), kFailure, FailureCode::MissingByte,
         kAfterTheEnd, 7, 6, "00000040", "Lunghezza", "64 bytes"},
        {"track running past the end, cut inside a text",
         Concat({Header(), Mtrk(0x40, {0x00, 0xFF, 0x03, 0x05, 'P', 'i'})}), kComplete, kNoCode, 0,
         8, 7, "FF03055069", "Track Name", "Pi"},
        {"chunk header cut after its tag",
         Concat({Header(), Mtrk(kEndOfTrack), {'M', 'T', 'r', 'k', 0x00, 0x00}}), kComplete,
         kNoCode, 0, 8, 7, "FF2F00", "End of Track", ""},
    };
}

TEST(LongLengths, NeverReadBeyondTheFileAndCutTheirRowsAtItsEnd)
{
    for (const LengthCase& c : LengthCases()) {
        SCOPED_TRACE(c.name);
        const CheckedRun run = RunChecked(c.file);
        EXPECT_EQ(run.problems, "");
        ASSERT_EQ(run.outcome.kind, c.kind) << Describe(run.outcome);
        if (c.kind == kFailure) {
            EXPECT_EQ(run.outcome.code, c.code);
            EXPECT_EQ(run.outcome.position,
                      c.position == kAfterTheEnd ? c.file.size() + 1 : c.position);
        }
        ASSERT_EQ(run.rows.size(), c.rows);
        ASSERT_LT(c.shownRow, run.rows.size());
        const Row& row = run.rows[c.shownRow];
        const ExactBuffer buffer(c.file);
        EXPECT_EQ(CellText(buffer.bytes(), row, Column::Event, {}), c.event);
        EXPECT_EQ(CellText(buffer.bytes(), row, Column::Description, {}), c.description);
        EXPECT_EQ(CellText(buffer.bytes(), row, Column::Value, {}), c.value);
    }
}

// Hundreds of lengths that together claim hundreds of gigabytes: listing the file takes memory
// in proportion to its real size only.
TEST(LongLengths, ClaimedLengthsTakeNoMemory)
{
    Bytes file = Header();
    for (int i = 0; i < 300; ++i) {
        file = Concat({file, Mtrk({0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'x'}),
                       Mtrk({0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F, 0x43}),
                       Mtrk({0x00, 0xF7, 0xFF, 0xFF, 0xFF, 0x7F, 0xF8})});
    }
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tracklens-claims-" + std::to_string(getpid()) + ".mid");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
    }
    const ProgramRun small =
        RunProgram({TRACKLENS_DUMP_PROGRAM, TRACKLENS_TEST_DATA_DIR "/TestRead.mid"});
    const ProgramRun run = RunProgram({TRACKLENS_DUMP_PROGRAM, path.string()});
    std::filesystem::remove(path);

    ASSERT_TRUE(small.exited);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1 + 5 + 900 * 3);
    // One of the claimed lengths alone is 256 MiB.
    EXPECT_LT(run.peakMemoryKiB, small.peakMemoryKiB + 64 * 1024);
}

} // namespace
} // namespace tracklens::testing
