// The data of text events read in each encoding: valid characters, bytes that begin none, the
// tags and byte-order mark that Automatic follows, and the encoding it detects in a file.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/ListingWriter.h"
#include "engine/CellText.h"
#include "engine/Conversions.h"
#include "engine/FileTexts.h"
#include "engine/TextEncoding.h"
#include "tests/support/Listing.h"
#include "text/SystemTextDecoders.h"

namespace tracklens::testing {
namespace {

std::string Read(TextEncoding encoding, const Bytes& bytes,
                 TextEncoding detected = TextEncoding::Windows1252)
{
    const TextChoice choice{encoding, detected, &SystemTextDecoders()};
    return WrittenText(kLongestDecodedByte * bytes.size(), [&](TextCursor& out) {
        AppendTextForm(out, FormOf(bytes, choice), choice);
    });
}

struct TextCase {
    const char* name;
    TextEncoding encoding;
    const char* bytes; // in hexadecimal
    const char* shown; // as UTF-8
};

class Encodings : public ::testing::TestWithParam<TextCase> {};

TEST_P(Encodings, ReadEveryByteAndShowWhatBeginsNoCharacterAsWindows1252)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(Read(c.encoding, Hex(c.bytes)), c.shown);
}

constexpr auto kLatin = TextEncoding::Windows1252;
constexpr auto kUtf8 = TextEncoding::Utf8;
constexpr auto kShiftJis = TextEncoding::ShiftJis;

INSTANTIATE_TEST_SUITE_P(
    Texts, Encodings,
    ::testing::Values(
        // Windows-1252: one character per byte, as the listing always showed.
        TextCase{"latin accented", kLatin, "63697474E0", "citt\xC3\xA0"},
        TextCase{"latin quotes and euro", kLatin, "93618094",
                 "\xE2\x80\x9C"
                 "a\xE2\x82\xAC\xE2\x80\x9D"},
        TextCase{"latin reads UTF-8 kana byte by byte", kLatin, "E38284",
                 "\xC3\xA3\xE2\x80\x9A\xE2\x80\x9E"},
        TextCase{"latin reads UTF-8 mark as bytes", kLatin, "EFBBBF41",
                 "\xC3\xAF\xC2\xBB\xC2\xBF"
                 "A"},
        // UTF-8 by RFC 3629.
        TextCase{"utf8 kana", kUtf8, "E38195E3818FE38289", "\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89"},
        TextCase{"utf8 kanji", kUtf8, "E6BCA2E5AD97", "\xE6\xBC\xA2\xE5\xAD\x97"},
        TextCase{"utf8 accented", kUtf8, "63697474C3A0", "citt\xC3\xA0"},
        TextCase{"utf8 emoji", kUtf8, "F09F8EB9", "\xF0\x9F\x8E\xB9"},
        TextCase{"utf8 highest", kUtf8, "F48FBFBF", "\xF4\x8F\xBF\xBF"},
        TextCase{"utf8 mark kept", kUtf8, "EFBBBF41",
                 "\xEF\xBB\xBF"
                 "A"},
        TextCase{"utf8 overlong", kUtf8, "C08041",
                 "\xC3\x80\xE2\x82\xAC"
                 "A"},
        TextCase{"utf8 overlong of three", kUtf8, "E08080", "\xC3\xA0\xE2\x82\xAC\xE2\x82\xAC"},
        TextCase{"utf8 surrogate", kUtf8, "EDA080", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        TextCase{"utf8 above U+10FFFF", kUtf8, "F4908080",
                 "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        TextCase{"utf8 lone continuation", kUtf8, "41BF42",
                 "A\xC2\xBF"
                 "B"},
        TextCase{"utf8 cut at the end", kUtf8, "41E381", "A\xC3\xA3\xC2\x81"},
        TextCase{"utf8 latin byte", kUtf8, "7065726368E9", "perch\xC3\xA9"},
        // Shift-JIS as code page 932.
        TextCase{"shift-jis kana", kShiftJis, "82B382AD82E7",
                 "\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89"},
        TextCase{"shift-jis kanji", kShiftJis, "8ABF8E9A", "\xE6\xBC\xA2\xE5\xAD\x97"},
        TextCase{"shift-jis half-width kana", kShiftJis, "B1B2", "\xEF\xBD\xB1\xEF\xBD\xB2"},
        TextCase{"shift-jis backslash and tilde", kShiftJis, "5C7E", "\\~"},
        // "Spår" in Windows-1252 is valid Shift-JIS: its å and r are one kanji.
        TextCase{"shift-jis reads latin", kShiftJis, "5370E572", "Sp\xE8\x9A\x8C"},
        TextCase{"shift-jis user area", kShiftJis, "F040", "\xEE\x80\x80"},
        TextCase{"shift-jis bad second byte", kShiftJis, "822041", "\xE2\x80\x9A A"},
        TextCase{"shift-jis undefined bytes", kShiftJis, "80A0FD", "\xE2\x82\xAC\xC2\xA0\xC3\xBD"},
        TextCase{"shift-jis cut at the end", kShiftJis, "4182", "A\xE2\x80\x9A"},
        TextCase{"shift-jis emoji bytes of UTF-8", kShiftJis, "F09F8EB9",
                 "\xEE\x81\x9E\xE5\xAB\x89"}),
    CaseName<TextCase>);

TEST(Automatic, ReadsTheDetectedEncodingUnlessATagOrAMarkSaysOtherwise)
{
    const struct {
        const char* name;
        TextEncoding detected;
        const char* bytes;
        const char* shown;
    } cases[] = {
        {"detected UTF-8", kUtf8, "63697474C3A0", "citt\xC3\xA0"},
        {"detected Shift-JIS", kShiftJis, "82B3", "\xE3\x81\x95"},
        {"detected Windows-1252", kLatin, "63697474E0", "citt\xC3\xA0"},
        {"latin tag", kUtf8, "7B404C4154494E7D E0", "{@LATIN}\xC3\xA0"},
        {"japanese tag", kLatin, "7B404A507D 82B3", "{@JP}\xE3\x81\x95"},
        {"mark", kShiftJis, "EFBBBF E38195", "\xE3\x81\x95"},
        {"mark alone", kLatin, "EFBBBF", ""},
        {"tag not at the start", kLatin, "41 7B404A507D 82B3", "A{@JP}\xE2\x80\x9A\xC2\xB3"},
        {"lower-case tag", kLatin, "7B406A707D 82B3", "{@jp}\xE2\x80\x9A\xC2\xB3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(TextEncoding::Automatic, Hex(c.bytes), c.detected), c.shown);
    }
}

TEST(FixedEncodings, ReadTagsAsPlainBytes)
{
    EXPECT_EQ(Read(kLatin, Hex("7B404A507D 82B3")), "{@JP}\xE2\x80\x9A\xC2\xB3");
    EXPECT_EQ(Read(kUtf8, Hex("7B404A507D 82B3")), "{@JP}\xE2\x80\x9A\xC2\xB3");
    EXPECT_EQ(Read(kShiftJis, Hex("7B404C4154494E7D E0")), "{@LATIN}\xC3\xA0");
}

TEST(Pieces, ACharacterCutBetweenTwoPiecesIsReadWhole)
{
    const struct {
        TextEncoding encoding;
        const char* bytes;
    } cases[] = {
        {kUtf8, "41E38195E3818F42"},
        {kShiftJis, "4182B382AD8ABF"},
        {kUtf8, "C080E381"},
    };
    const TextDecoders& decoders = SystemTextDecoders();
    for (const auto& c : cases) {
        const Bytes bytes = Hex(c.bytes);
        const std::string whole = Read(c.encoding, bytes);
        for (std::size_t size = 1; size < bytes.size(); ++size) {
            SCOPED_TRACE(::testing::Message() << c.bytes << " in pieces of " << size);
            std::string pieces;
            for (std::size_t at = 0; at < bytes.size();) {
                const ByteSpan piece =
                    ByteSpan(bytes).subspan(at).first(std::min(size + 3, bytes.size() - at));
                const bool last = at + piece.size() == bytes.size();
                std::size_t used = 0;
                pieces += WrittenText(kLongestDecodedByte * piece.size(), [&](TextCursor& out) {
                    used = decoders.append(out, c.encoding, piece, last);
                });
                ASSERT_GT(used, 0u);
                at += used;
            }
            EXPECT_EQ(pieces, whole);
        }
    }
}

TEST(Pieces, ATextOfMoreThanAWritersPieceIsWrittenWhole)
{
    // A text event of 70,001 bytes, more than a line written whole holds: one byte of ASCII,
    // then kana of two bytes in Shift-JIS and of three in UTF-8, so that characters straddle
    // the ends of the pieces it is written in.
    const struct {
        TextEncoding encoding;
        std::string character;
    } cases[] = {
        {kShiftJis, "\x82\xB3"},
        {kUtf8, "\xE3\x81\x95"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.character.size());
        std::string text = "a";
        while (text.size() + c.character.size() <= 70001) {
            text += c.character;
        }
        smf::TrackWriter track;
        track.text(0, 0x05, text).endOfTrack(0);
        const Bytes file = smf::Smf(0, 0x60, {track.body()});
        const TextChoice choice = ChooseTexts(file, c.encoding, &SystemTextDecoders());
        const CellContext context{nullptr, choice};

        std::ostringstream written;
        const auto writer =
            MakeListingWriter(ListingFormat::Tsv, file, written, kListingColumns, context);
        writer->writeTitles();
        writer->finish(WalkFile(file, *writer));

        EventTable table(file);
        ASSERT_TRUE(WalkFile(table.content(), table).complete());
        const std::string value =
            CellText(table.content(), table.row(kFirstEventRow), Column::Value, context);
        EXPECT_EQ(value.substr(0, 4), "a" + Read(kShiftJis, Hex("82B3")));
        EXPECT_NE(written.str().find("\tLyric Text\t" + value + "\n"), std::string::npos);
    }
}

TEST(Detection, ReadsUtf8ShiftJisOrElseWindows1252)
{
    const struct {
        const char* name;
        const char* texts;
        TextEncoding detected;
    } cases[] = {
        {"UTF-8 kana and kanji", "E38195E3818FE38289 0A E6BCA2E5AD97 0A", kUtf8},
        {"Shift-JIS", "82B382AD82E782B382AD82E7 0A 82B182F182C982BF82CD 0A", kShiftJis},
        {"Windows-1252", "5370E572 20 69 20 736EF66E 0A", kLatin},
        {"ASCII", "5069616E6F 0A", kLatin},
        {"nothing", "", kLatin},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes texts = Hex(c.texts);
        EXPECT_EQ(SystemTextDecoders().detect(std::string(texts.begin(), texts.end())), c.detected);
    }
}

TEST(Detection, ReadsTheTextsOfTheWholeWalkEachEndedByALineFeed)
{
    // A valid UTF-8 text and one that is not: UTF-8 all the same, the invalid byte shown as
    // Windows-1252. A note and a tempo between them are no texts.
    const Bytes file = Track("00 FF0309 E38195E3818FE38289 00 903C40 00 FF510307A120"
                             "00 FF0506 7065726368E9 00 FF2F00");
    TextCollector collector(file);
    ASSERT_TRUE(WalkFile(file, collector).complete());
    const Bytes expected = Hex("E38195E3818FE38289 0A 7065726368E9 0A");
    EXPECT_EQ(collector.texts().joined(file), std::string(expected.begin(), expected.end()));

    const TextChoice choice = ChooseTexts(file, TextEncoding::Automatic, &SystemTextDecoders());
    EXPECT_EQ(choice.detected, kUtf8);
    EXPECT_EQ(Read(TextEncoding::Automatic, Hex("7065726368E9"), choice.detected), "perch\xC3\xA9");
    EXPECT_EQ(ChooseTexts(file, kShiftJis, &SystemTextDecoders()).detected, kLatin);
}

TEST(Detection, StopsWhereTheWalkStops)
{
    const Bytes file = Track("00 FF0309 E38195E3818FE38289 00 F4 00 FF0506 7065726368E9");
    TextCollector collector(file);
    EXPECT_FALSE(WalkFile(file, collector).complete());
    const Bytes expected = Hex("E38195E3818FE38289 0A");
    EXPECT_EQ(collector.texts().joined(file), std::string(expected.begin(), expected.end()));
}

} // namespace
} // namespace tracklens::testing
