// A walk that keeps going lists each problem of a track as a row and goes on: at the next chunk
// after an unknown status or a missing byte, right after the event for a number beyond a table or
// a tempo of 0. The second track of each file below lists whole after the first one's problem.

#include <gtest/gtest.h>

#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

const RowTexts kEndOfTrackRow = {"0", "00", "FF2F00", "", "End of Track", ""};

Bytes TwoTracks(std::string_view first)
{
    return Smf({Hex(first), Hex("00 FF2F00")});
}

TEST(KeepGoing, ListsEachProblemAsARowAndGoesOn)
{
    const struct {
        const char* name;
        std::string_view track;     // the first track's events
        std::vector<RowTexts> rows; // its rows from the problem on, before the second track
        std::string message;        // what the problem would have ended the walk with
    } cases[] = {
        {"unknown status: its bytes to the body's end",
         "00 903C64 00 F4 0102 00FF2F00",
         {{"0", "00", "F4010200FF2F00", "", "Valore sconosciuto", ""}},
         "Pos.28\r\nStatus 244 (F4) - Valore sconosciuto"},
        {"data byte with no running status",
         "00 3C 64 00FF2F00",
         {{"0", "00", "3C6400FF2F00", "", "Valore sconosciuto", ""}},
         "Pos.24\r\nStatus 0 (00) - Valore sconosciuto"},
        {"missing data byte: no running status put in front",
         "00 903C64 10 3C",
         {{"16", "10", "3C", "", "Errore 5", ""}},
         "Errore 5"},
        {"delta time cut: the tick before it, no event bytes",
         "00 903C64 8181",
         {{"0", "8181", "", "", "Errore 5", ""}},
         "Errore 5"},
        {"meta field beyond the event's length",
         "00 FF5901 00 00FF2F00",
         {{"0", "00", "FF59010000FF2F00", "", "Errore 5", ""}},
         "Errore 5"},
        {"controller 128: running status goes on as if read normally",
         "00 B08010 00 0764 00FF2F00",
         {{"0", "00", "B08010", "", "Errore 9", ""},
          {"0", "00", "B00764", "1", "+Control", "7:Channel Volume - 100"},
          kEndOfTrackRow},
         "Errore 9"},
        {"tempo of 0: the walk goes on after the event",
         "00 FF5103000000 00FF2F00",
         {{"0", "00", "FF5103000000", "", "Errore 11", ""}, kEndOfTrackRow},
         "Errore 11"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = TwoTracks(c.track);
        const Listing listing = List(file, WalkMode::KeepGoing);
        ASSERT_TRUE(listing.outcome.complete());
        const std::size_t secondTrack = listing.rows.size() - 3;
        ASSERT_GE(secondTrack, kFirstEventRow + c.rows.size());
        const std::vector<RowTexts> rows(listing.rows.begin() +
                                             static_cast<long>(secondTrack - c.rows.size()),
                                         listing.rows.begin() + static_cast<long>(secondTrack));
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(listing.rows[secondTrack][4], "MTrk");
        EXPECT_EQ(listing.rows.back(), kEndOfTrackRow);

        RowsOf sink;
        BasicEventWalk<RowSink> walk(file, sink, WalkMode::KeepGoing);
        ASSERT_TRUE(walk.readHeader().complete());
        ASSERT_TRUE(walk.readChunks().complete());
        ASSERT_EQ(walk.problems().size(), 1u);
        EXPECT_EQ(MessageFor(walk.problems()[0]).text.substr(0, c.message.size()), c.message);

        // The default walk ends at the same problem.
        EXPECT_FALSE(List(file).outcome.complete());
    }
}

TEST(KeepGoing, ARunningStatusReadBeforeAMissingByteIsKeptForTheNextTrack)
{
    const Listing listing =
        List(Smf({Hex("00 A03C"), Hex("00 3C40 00FF2F00")}), WalkMode::KeepGoing);
    ASSERT_TRUE(listing.outcome.complete());
    EXPECT_EQ(listing.rows[kFirstEventRow], (RowTexts{"0", "00", "A03C", "", "Errore 5", ""}));
    EXPECT_EQ(listing.rows[kFirstEventRow + 3],
              (RowTexts{"0", "00", "A03C40", "1", "+Key Aftertouch", "Do5 - 64"}));
}

TEST(KeepGoing, WhatEndsARunBeforeTheFirstTrackStillEndsIt)
{
    for (const Bytes& file : {Hex("4D546864 0000"), Hex("4D546864 00000004 00000001 0060"),
                              Hex("52494646 00000006 0000 0001 0060")}) {
        EXPECT_FALSE(List(file, WalkMode::KeepGoing).outcome.complete());
    }
}

} // namespace
} // namespace tracklens::testing
