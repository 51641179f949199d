// The checks of a file: each code found where it should be, and not in a file that comes close.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/FileChecks.h"
#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

// The offsets at which the checks of a file find a code.
std::vector<std::uint64_t> OffsetsOf(const Bytes& file, FindingCode code)
{
    std::vector<std::uint64_t> offsets;
    for (const Finding& finding : CheckFile(file).findings) {
        if (finding.code == code) {
            offsets.push_back(finding.place.offset);
        }
    }
    return offsets;
}

TEST(FileChecks, FindEachCodeWhereItIsAndNotInAFileThatComesClose)
{
    // A track's events begin at 22 (0x16) in a file of one track.
    const struct {
        FindingCode code;
        Bytes found;          // a file with the finding
        std::uint64_t offset; // where
        Bytes nearMiss;       // a file that comes close and has none
    } cases[] = {
        {FindingCode::NotMidi, Hex("52494646 00000006 0001 0001 0060"), 0, Track("00FF2F00")},
        {FindingCode::HeaderShort, Hex("4D546864 00000006 0001"), 4,
         Hex("4D546864 00000006 0001 0000 0060")},
        {FindingCode::HeaderShort, Hex("4D546864 0000"), 0, Track("00FF2F00")},
        {FindingCode::HeaderShort, Hex("4D546864 00000005 0001 0001 0060"), 4, Track("00FF2F00")},
        {FindingCode::HeaderLength,
         Concat({Header({.length = 8}), Hex("0000"), Chunk("MTrk", kEndOfTrack)}), 4,
         Track("00FF2F00")},
        {FindingCode::FormatUnknown, Smf(3, 0x60, {kEndOfTrack}), 8, Smf(2, 0x60, {kEndOfTrack})},
        {FindingCode::Format0Tracks, Smf(0, 0x60, {kEndOfTrack, kEndOfTrack}), 8,
         Smf(0, 0x60, {kEndOfTrack})},
        {FindingCode::TrackCount, Concat({Header({.tracks = 3}), Chunk("MTrk", kEndOfTrack)}), 10,
         Concat({Header({.tracks = 1}), Chunk("MTrk", kEndOfTrack)})},
        {FindingCode::DivisionZero, Smf(1, 0x0000, {kEndOfTrack}), 12,
         Smf(1, 0x0001, {kEndOfTrack})},
        {FindingCode::DivisionZero, Smf(1, 0xE700, {kEndOfTrack}), 12,
         Smf(1, 0xE728, {kEndOfTrack})},
        {FindingCode::UnknownChunk,
         Concat({Header(), Chunk("XFIH", Hex("01")), Chunk("MTrk", kEndOfTrack)}), 14,
         Track("00FF2F00")},
        {FindingCode::ChunkPastEnd, Concat({Header(), Chunk("MTrk", 5, kEndOfTrack)}), 18,
         Concat({Header(), Chunk("MTrk", 4, kEndOfTrack)})},
        {FindingCode::ChunkPastEnd, Hex("4D546864 00000010 0001 0000 0060"), 4,
         Hex("4D546864 00000006 0001 0000 0060")},
        {FindingCode::TrailingBytes, Concat({Track("00FF2F00"), Hex("00000000 000000")}), 26,
         Concat({Track("00FF2F00"), Chunk("XFIH", {})})},
        {FindingCode::MissingEndOfTrack, Track("00 903C40 00 803C40"), 14,
         Track("00 903C40 00 803C40 00FF2F00")},
        {FindingCode::MissingEndOfTrack, Track("00 903C"), 14, Track("00 903C40 00FF2F00")},
        {FindingCode::DataAfterEndOfTrack, Track("00FF2F00 00 F8"), 26, Track("00 F8 00FF2F00")},
        {FindingCode::DataAfterEndOfTrack, Track("00FF2F00 F8"), 26, Track("00FF2F00")},
        {FindingCode::UnknownStatus, Track("00 F4 00FF2F00"), 22, Track("00 F8 00FF2F00")},
        {FindingCode::UnknownStatus, Track("00 3C40 00FF2F00"), 22,
         Track("00 903C40 00 3C00 00FF2F00")},
        {FindingCode::MissingByte, Track("00 903C"), 22, Track("00 903C40 00FF2F00")},
        {FindingCode::ValueOutOfRange, Track("00 C080 00FF2F00"), 22, Track("00 C07F 00FF2F00")},
        {FindingCode::TempoZero, Track("00 FF5103000000 00FF2F00"), 22,
         Track("00 FF5103000001 00FF2F00")},
        {FindingCode::DataByteHigh, Track("00 903C80 00 803C00 00FF2F00"), 22,
         Track("00 903C7F 00 803C00 00FF2F00")},
        {FindingCode::DataByteHigh, Track("00 C080 00FF2F00"), 22, Track("00 C07F 00FF2F00")},
        {FindingCode::InterruptedRunningStatus, Track("00 903C40 00 FF0100 00 3C00 00FF2F00"), 30,
         Track("00 903C40 00 FF0100 00 903C00 00FF2F00")},
        {FindingCode::InterruptedRunningStatus, Track("00 903C40 00 F8 00 3C00 00FF2F00"), 28,
         Track("00 903C40 00 3E40 00 3C00 00 3E00 00FF2F00")},
        {FindingCode::RunningStatusAtTrackStart,
         Smf({Hex("00 903C40 00FF2F00"), Hex("00 3C00 00FF2F00")}), 38,
         Smf({Hex("00 903C40 00FF2F00"), Hex("00 903C00 00FF2F00")})},
        {FindingCode::LongVlq, Track("8000 F8 00FF2F00"), 22, Track("8100 F8 00FF2F00")},
        {FindingCode::LongVlq, Track("00 FF01 8001 41 00FF2F00"), 22,
         Track("00 FF01 01 41 00FF2F00")},
        {FindingCode::LongVlq, Track("00 F0 8002 41F7 00FF2F00"), 22,
         Track("00 F0 02 41F7 00FF2F00")},
        {FindingCode::MetaLength, Track("00 FF5102 0102 00FF2F00"), 22,
         Track("00 FF5103 07A120 00FF2F00")},
        {FindingCode::MetaLength, Track("00 FF2F01 00"), 22, Track("00 FF2F00")},
        {FindingCode::KeySignatureValue, Track("00 FF5902 0800 00FF2F00"), 22,
         Track("00 FF5902 F901 00FF2F00")},
        {FindingCode::KeySignatureValue, Track("00 FF5902 0002 00FF2F00"), 22,
         Track("00 FF5902 0701 00FF2F00")},
        {FindingCode::TimeSignatureValue, Track("00 FF5804 00021808 00FF2F00"), 22,
         Track("00 FF5804 01071808 00FF2F00")},
        {FindingCode::TimeSignatureValue, Track("00 FF5804 04081808 00FF2F00"), 22,
         Track("00 FF5804 04071808 00FF2F00")},
        {FindingCode::TimingOutsideFirstTrack, Smf({kEndOfTrack, Hex("00 FF5103 07A120 00FF2F00")}),
         34, Smf(2, 0x60, {kEndOfTrack, Hex("00 FF5103 07A120 00FF2F00")})},
        {FindingCode::SysexUnterminated, Track("00 F003 410203 00FF2F00"), 22,
         Track("00 F003 410203 00 F701 F7 00FF2F00")},
        {FindingCode::SysexUnterminated, Track("00 F003 410203"), 22, Track("00 F003 4102F7")},
        {FindingCode::NoteOnWithoutOff, Track("00 903C40 00 903C40 00 803C40 00FF2F00"), 26,
         Track("00 903C40 00 903C40 00 803C40 00 903C00 00FF2F00")},
        {FindingCode::NoteOnWithoutOff, Track("00 903C40 00 913C00 00FF2F00"), 22,
         Track("00 903C40 00 903C00 00FF2F00")},
        {FindingCode::NoteOffWithoutOn, Track("00 803C40 00FF2F00"), 22,
         Track("00 903C40 00 803C40 00FF2F00")},
        {FindingCode::NoteOffWithoutOn, Smf({Hex("00 903C40 00FF2F00"), Hex("00 903C00 00FF2F00")}),
         38, Track("00 903C40 00 3C00 00FF2F00")},
        {FindingCode::ParameterNotSelected, Track("00 B06500 00 0640 00FF2F00"), 26,
         Track("00 B06500 00 6400 00 0640 00FF2F00")},
        {FindingCode::ParameterNotSelected, Track("00 B06500 00 6400 00 6300 00 0640 00FF2F00"), 32,
         Track("00 B06500 00 6400 00 6300 00 6200 00 6040 00FF2F00")},
        {FindingCode::ParameterNotSelected, Track("00 B06500 00 B16400 00 B10640 00FF2F00"), 30,
         Track("00 B16500 00 B06400 00 B16400 00 B10640 00FF2F00")},
        {FindingCode::BankSelectIncomplete, Track("00 B00001 00 C005 00FF2F00"), 26,
         Track("00 B00001 00 2000 00 C005 00FF2F00")},
        {FindingCode::BankSelectIncomplete, Track("00 B02001 00 C005 00 C006 00FF2F00"), 26,
         Track("00 B02001 00 C105 00 B00001 00 C006 00FF2F00")},
        {FindingCode::UnknownMeta, Track("00 FF4B00 00FF2F00"), 22, Track("00 FF7F00 00FF2F00")},
        {FindingCode::EmptyText, Track("00 FF0100 00FF2F00"), 22, Track("00 FF0101 41 00FF2F00")},
        {FindingCode::EmptyText, Track("00 FF0900 00FF2F00"), 22, Track("00 FF0A00 00FF2F00")},
    };
    std::vector<bool> covered(kFindingKinds.size());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(KindOf(c.code).name));
        covered[static_cast<std::size_t>(c.code)] = true;
        EXPECT_EQ(OffsetsOf(c.found, c.code), std::vector<std::uint64_t>{c.offset});
        EXPECT_EQ(OffsetsOf(c.nearMiss, c.code), std::vector<std::uint64_t>{});
    }
    EXPECT_EQ(std::count(covered.begin(), covered.end(), false), 0) << "a code without a case";
}

TEST(FileChecks, FindingsAreSortedByOffsetThenInTheOrderOfTheCodes)
{
    // Note On never switched off at 22 (found at the track's end), then a long delta time and a
    // long length in one event at 26, which give one long-vlq, with an empty text and an
    // interrupted running status after it.
    const Bytes file = Concat(
        {Header({.tracks = 2}), Chunk("MTrk", Hex("00 903C40 8000 FF01 8000 00 3E40 00FF2F00"))});
    const CheckResult result = CheckFile(file);
    ASSERT_TRUE(result.outcome.complete());
    std::vector<std::pair<std::uint64_t, FindingCode>> found;
    for (const Finding& finding : result.findings) {
        found.emplace_back(finding.place.offset, finding.code);
    }
    const std::vector<std::pair<std::uint64_t, FindingCode>> expected = {
        {10, FindingCode::TrackCount},
        {22, FindingCode::NoteOnWithoutOff},
        {26, FindingCode::LongVlq},
        {26, FindingCode::EmptyText},
        {32, FindingCode::InterruptedRunningStatus},
        {32, FindingCode::NoteOnWithoutOff},
    };
    EXPECT_EQ(found, expected);
}

TEST(FileChecks, PlacesGiveTrackAndTickWhereARowBeginsThere)
{
    const Bytes file = Concat({Header({.tracks = 2}), Chunk("XFIH", Hex("01")),
                               Chunk("MTrk", Hex("60 803C40 00FF2F00 F8"))});
    const CheckResult result = CheckFile(file);
    ASSERT_EQ(result.findings.size(), 4u);
    const auto place = [&](std::size_t i) {
        const FindingPlace& p = result.findings[i].place;
        return std::make_tuple(p.offset, p.track, p.tick);
    };
    using Tick = std::optional<std::uint64_t>;
    EXPECT_EQ(place(0), std::make_tuple(10u, 0u, Tick()));   // track-count
    EXPECT_EQ(place(1), std::make_tuple(14u, 0u, Tick()));   // unknown-chunk
    EXPECT_EQ(place(2), std::make_tuple(31u, 1u, Tick(96))); // note-off-without-on
    EXPECT_EQ(place(3), std::make_tuple(39u, 1u, Tick()));   // data-after-end-of-track
    EXPECT_EQ(result.findings[0].message, "Header says 2 tracks; the file has 1 MTrk chunks");
}

} // namespace
} // namespace tracklens::testing
