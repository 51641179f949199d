// A Standard MIDI File inside a RIFF container of form "RMID": the container's rows, its chunks
// walked by their little-endian lengths, the file of its "data" chunk listed in place.

#include <gtest/gtest.h>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

const std::vector<RowTexts> kContainerRows = {
    {"", "", "52494646", "", "RIFF", ""},
    {"", "", "5A000000", "", "Lunghezza", "90 bytes"},
    {"", "", "524D4944", "", "RMID", ""},
};

std::vector<RowTexts> Joined(std::initializer_list<std::vector<RowTexts>> parts)
{
    std::vector<RowTexts> rows;
    for (const auto& part : parts) {
        rows.insert(rows.end(), part.begin(), part.end());
    }
    return rows;
}

TEST(Container, ListsItsChunksAndTheFileOfItsDataChunkInPlace)
{
    const Bytes file = Concat({
        Hex("52494646 5A000000 524D4944"),      // RIFF, 90 bytes, RMID
        Hex("4C495354 05000000 494E464F41 00"), // LIST of odd length, then its pad byte
        Hex("64617461 2B000000"), kSmallSong,   // data: the 43 bytes of a whole file
        Hex("00"),                              // the pad byte after them
        Hex("4C495354 04000000 494E464F"),      // LIST after data, not read as MIDI
    });
    const Listing listing = List(file);
    ASSERT_TRUE(listing.outcome.complete()) << MessageFor(listing.outcome).text;
    const std::vector<RowTexts> expected = Joined({
        kContainerRows,
        {{"", "", "4C495354", "", "LIST", ""}, {"", "", "05000000", "", "Lunghezza", "5 bytes"}},
        {{"", "", "64617461", "", "data", ""}, {"", "", "2B000000", "", "Lunghezza", "43 bytes"}},
        kSmallSongRows,
        {{"", "", "4C495354", "", "LIST", ""}, {"", "", "04000000", "", "Lunghezza", "4 bytes"}},
    });
    EXPECT_EQ(listing.rows, expected);
}

TEST(Container, ItsOwnLengthDoesNotBoundTheWalk)
{
    const Bytes file = Concat({Hex("52494646 04000000 524D4944 64617461 2B000000"), kSmallSong});
    const Listing listing = List(file);
    ASSERT_TRUE(listing.outcome.complete());
    ASSERT_EQ(listing.rows.size(), 3 + 2 + kSmallSongRows.size());
    EXPECT_EQ(listing.rows[1][5], "4 bytes");
    EXPECT_EQ(listing.rows.back(), kSmallSongRows.back());
}

TEST(Container, ADataChunkRunningPastTheFileEndsWithIt)
{
    // The data chunk claims 256 bytes; the file ends after the 43 of its MIDI file.
    const Bytes file = Concat({Hex("52494646 5A000000 524D4944 64617461 00010000"), kSmallSong});
    const Listing listing = List(file);
    ASSERT_TRUE(listing.outcome.complete()) << MessageFor(listing.outcome).text;
    EXPECT_EQ(listing.rows[4], (RowTexts{"", "", "00010000", "", "Lunghezza", "256 bytes"}));
    EXPECT_EQ(std::vector<RowTexts>(listing.rows.begin() + 5, listing.rows.end()), kSmallSongRows);
}

TEST(Container, TheDataChunkBoundsItsFilesTracks)
{
    // The track claims 21 bytes; the data chunk ends 9 bytes into them, after the C0 of the
    // program change, whose data byte would be the 52nd byte of the file.
    const Bytes file = Concat({Hex("52494646 5A000000 524D4944 64617461 1F000000"), kSmallSong});
    const Listing listing = List(file);
    EXPECT_EQ(listing.outcome.kind, RunOutcome::Kind::Failure);
    EXPECT_EQ(listing.outcome.code, FailureCode::MissingByte);
    EXPECT_EQ(listing.outcome.position, 52u);
}

TEST(Container, PositionsCountFromTheStartOfTheWholeFile)
{
    const struct {
        const char* name;
        std::string events;
    } cases[] = {
        {"zero tempo", "00 FF5103000000"},
        {"unknown status", "00 903C40 00 F4"},
        {"missing data byte", "00 903C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes plain = Track(c.events);
        const auto length = static_cast<std::uint8_t>(plain.size());
        const Bytes file =
            Concat({Hex("52494646 00000000 524D4944 64617461"), {length, 0, 0, 0}, plain});
        const Listing alone = List(plain);
        const Listing contained = List(file);
        ASSERT_FALSE(alone.outcome.complete());
        EXPECT_EQ(contained.outcome.kind, alone.outcome.kind);
        EXPECT_EQ(contained.outcome.position, alone.outcome.position + 20);
    }
}

TEST(Container, IsRefusedUnlessItHoldsAStandardMidiFile)
{
    const std::vector<RowTexts> dataRows = {
        {"", "", "64617461", "", "data", ""},
        {"", "", "04000000", "", "Lunghezza", "4 bytes"},
    };
    const std::vector<RowTexts> listRows = {
        {"", "", "4C495354", "", "LIST", ""},
        {"", "", "04000000", "", "Lunghezza", "4 bytes"},
    };
    const struct {
        const char* name;
        Bytes file;
        std::vector<RowTexts> rows;
    } cases[] = {
        {"RIFF of another form", Hex("52494646 0C000000 57415645 666D7420 00000000"), {}},
        {"RIFF too short for a form", Hex("52494646 04000000 524D"), {}},
        {"RMID without data", Hex("52494646 5A000000 524D4944 4C495354 04000000 494E464F"),
         Joined({kContainerRows, listRows})},
        {"data that is no MIDI file",
         Hex("52494646 5A000000 524D4944 64617461 04000000 4D546872 4C495354 04000000 494E464F"),
         Joined({kContainerRows, dataRows})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Listing listing = List(c.file);
        EXPECT_EQ(listing.outcome.kind, RunOutcome::Kind::NotMidi);
        EXPECT_EQ(listing.rows, c.rows);
        EXPECT_EQ(MessageFor(listing.outcome).text,
                  "Il file non \xC3\xA8 un Midifile standard !\r\nMThd mancante");
    }
}

} // namespace
} // namespace tracklens::testing
