// Every word of the listing's vocabulary, in a file built here: its TSV listing is kept in
// golden/vocabulary.tsv and must stay byte for byte the same, so that a name swapped, misspelt
// or lost in a table shows. After a deliberate change of the vocabulary, write the file anew
// with
//     TRACKLENS_WRITE_GOLDEN=1 build/release/tests/cli/tracklens_cli_tests
//     --gtest_filter='Vocabulary.*'
// and read its difference (git diff tests/cli/golden) before committing it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

constexpr const char* kGolden = TRACKLENS_GOLDEN_DIR "/vocabulary.tsv";

std::uint8_t Byte(unsigned value)
{
    return static_cast<std::uint8_t>(value);
}

// Every key and every velocity on every channel, every controller and program, and the other
// channel messages at the ends of their ranges; data bytes of 128 and more included.
Bytes ChannelMessages()
{
    smf::TrackWriter track;
    for (unsigned v = 0; v < 256; ++v) {
        track.event(0, {Byte(0x90 | v % 16), Byte(v), Byte(255 - v)});
    }
    for (unsigned v = 0; v < 128; ++v) {
        track.event(0, {0xB3, Byte(v), Byte(2 * v + 1)});
        track.event(0, {0xC5, Byte(v)});
    }
    track.event(0, Hex("803C00 00803C40 00A03C00 00A0FFFF 00D000 00D07F 00D0FF 00B17F00 007A7F"));
    track.event(0, Hex("E00040 00E00000 00E07F7F 00E00060 00E00140 00E081C0 00E0FFFF"));
    return track.endOfTrack().body();
}

// Every maker of one byte and of three, the known messages and others like them, escapes.
Bytes SystemExclusive()
{
    smf::TrackWriter track;
    for (unsigned id = 1; id < 128; ++id) {
        track.sysex(0, {Byte(id), 0x10, 0xF7});
    }
    for (unsigned id = 0; id < 128; ++id) {
        track.sysex(0, {0x00, 0x00, Byte(id), 0xF7});
    }
    for (const char* body :
         {"4110421240007F0041F7", "7E7F0901F7", "4110421240007F7F42F7", "7E7F0902F7", "7E100901F7",
          "7E7F090100F7", "4110421240007F0042F7", "0001", "00", ""}) {
        track.sysex(0, Hex(body));
    }
    track.event(0, Hex("F702F8FA 00F700"));
    return track.endOfTrack().body();
}

// Every meta event the listing names and a few it does not, every key signature, every time
// signature's denominator, texts holding every byte, and every system message.
Bytes MetaAndSystemMessages()
{
    smf::TrackWriter track;
    track.meta(0, 0x00, {0x01, 0x00}).meta(0, 0x20, {0x0F}).meta(0, 0x21, {0x00});
    track.meta(0, 0x51, {0x07, 0xA1, 0x20}).meta(0, 0x51, {0x09, 0x27, 0xC0});
    track.meta(0, 0x54, {0x60, 0x01, 0x02, 0x03, 0x04}).meta(0, 0x7F, {0x00, 0x00, 0x41});
    for (unsigned exponent = 0; exponent < 8; ++exponent) {
        track.meta(0, 0x58, {0x06, Byte(exponent), 0x24, 0x08});
    }
    for (int sharps = -8; sharps <= 8; ++sharps) {
        for (unsigned mode = 0; mode < 3; ++mode) {
            track.meta(0, 0x59, {Byte(static_cast<unsigned>(sharps)), Byte(mode)});
        }
    }
    Bytes everyByte;
    for (unsigned byte = 1; byte < 256; ++byte) {
        everyByte.push_back(Byte(byte));
    }
    for (unsigned type = 1; type <= 9; ++type) {
        track.meta(0, Byte(type), type == 1 ? everyByte : Bytes{'a', Byte('0' + type)});
    }
    track.meta(0, 0x0A, {}).meta(0, 0x4B, {0x01}).meta(0, 0x7E, {});
    track.event(0, Hex("F123 00F21002 00F20000 00F305 00F6 00F8 00FA 00FB 00FC 00FE"));
    return track.endOfTrack().body();
}

Bytes VocabularyFile()
{
    return Smf({ChannelMessages(), SystemExclusive(), MetaAndSystemMessages()});
}

std::string ReadAll(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Vocabulary, EveryWordIsListedAsTheGoldenListingHasIt)
{
    const Bytes file = VocabularyFile();
    const std::string listing = WriteListing(ListingFormat::Tsv, file);
    if (std::getenv("TRACKLENS_WRITE_GOLDEN") != nullptr) {
        std::ofstream(kGolden, std::ios::binary) << listing;
        GTEST_SKIP() << "wrote " << kGolden;
    }
    EXPECT_TRUE(SameLines(ReadAll(kGolden), listing)) << "against " << kGolden;
    // The event table's cells, which the window shows, are the same words.
    EXPECT_TRUE(SameLines(listing, ListingOfCells(ListingFormat::Tsv, file)));
}

} // namespace
} // namespace tracklens::testing
