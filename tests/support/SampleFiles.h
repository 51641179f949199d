#pragma once

// Small Standard MIDI Files of the project's own making, each exercising a different part of the
// walk: every message family, unusual chunk layouts, long variable-length lengths, and the three
// ways a listing can end early. The damaged-input tests start from them, and the fuzzer's seed
// corpus holds them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/smf/SmfBuilder.h"

namespace tracklens::samples {

using smf::Bytes;
using smf::TrackWriter;

struct SampleFile {
    std::string name;
    Bytes bytes;
};

// One track with every status the walk decodes, running status included.
inline Bytes EveryFamilyFile()
{
    TrackWriter track;
    track.meta(0, 0x00, {0x00, 0x07})
        .text(0, 0x03, "Tutto")
        .meta(0, 0x08, {'P', 'i', 'a', 'n', 'o'})
        .meta(0, 0x09, {'O', 'u', 't'})
        .meta(0, 0x20, {0x03})
        .meta(0, 0x21, {0x01})
        .meta(0, 0x51, {0x07, 0xA1, 0x20})
        .meta(0, 0x54, {0x60, 0x01, 0x02, 0x03, 0x04})
        .meta(0, 0x58, {0x06, 0x03, 0x24, 0x08})
        .meta(0, 0x59, {0xFD, 0x01})
        .meta(0, 0x4B, {0x01, 0x02})
        .meta(0, 0x7F, {0x00, 0x00, 0x41})
        .sysex(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
        .sysex(0, {0x00, 0x00, 0x0E, 0x01, 0xF7})
        .event(0, {0xF7, 0x02, 0xF8, 0xF8})
        .event(0, {0xC3, 0x05})
        .event(0, {0xB3, 0x07, 0x64})
        .event(0, {0x0A, 0x40})
        .event(0, {0x93, 0x3C, 0x64})
        .event(0x81, {0x3E, 0x50})
        .event(0, {0xF8})
        .event(0x4000, {0x3C, 0x00})
        .event(0, {0xA3, 0x3E, 0x20})
        .event(0, {0xD3, 0x30})
        .event(0, {0xE3, 0x00, 0x40})
        .event(0, {0x83, 0x3E, 0x00})
        .event(0, {0xF1, 0x21})
        .event(0, {0xF2, 0x10, 0x02})
        .event(0, {0xF3, 0x04})
        .event(0, {0xF6})
        .event(0, {0xFA})
        .event(0, {0xFB})
        .event(0, {0xFC})
        .event(0, {0xFE})
        .endOfTrack(0x0FFFFFFF);
    return smf::Smf(0, 0x01E0, {track.body()});
}

// A longer header with an SMPTE division, a chunk that is not a track, an empty track, bytes
// after End of Track, a track ending in one stray byte, and a few bytes too few to be a chunk
// at the end.
inline Bytes ChunkLayoutFile()
{
    TrackWriter track;
    track.event(0, {0x90, 0x40, 0x40}).event(0x60, {0x40, 0x00}).endOfTrack(0);
    const Bytes afterTheEnd = {0x00, 0x41, 0x40, 0x10, 0x41, 0x00};
    return smf::Concat({smf::Header({.format = 1, .tracks = 3, .division = 0xE728, .length = 8}),
                        {0x00, 0x00},
                        smf::Chunk("XFIH", {0x01, 0x02, 0x03}),
                        smf::Chunk("MTrk", {}),
                        smf::Chunk("MTrk", smf::Concat({track.body(), afterTheEnd})),
                        smf::Chunk("MTrk", {0x00, 0xFF, 0x2F, 0x00, 0x7F}),
                        {'M', 'T', 'r', 'k', 0x00}});
}

// Meta and SysEx lengths of two bytes (128 and more), and a four-byte delta time.
inline Bytes LongLengthsFile()
{
    TrackWriter track;
    track.text(0, 0x01, std::string(130, 'x'));
    Bytes sysex = {0x00, 0xF0, 0x81, 0x00, 0x43};
    sysex.resize(sysex.size() + 126, 0x10);
    sysex.push_back(0xF7);
    return smf::Smf(
        0, 0x60, {smf::Concat({track.body(), sysex, smf::Hex("FFFFFF7F C010"), smf::kEndOfTrack})});
}

// Ends at a status byte no decoder knows.
inline Bytes UnknownStatusFile()
{
    TrackWriter track;
    track.event(0, {0x92, 0x30, 0x40}).event(0x10, {0x30, 0x00}).event(0, {0xF4, 0x00});
    track.endOfTrack(0);
    return smf::Smf(0, 0x0060, {track.body()});
}

// Ends in a failure: a controller number of 128 in the second track, after a first track that
// lists whole.
inline Bytes FailureFile()
{
    TrackWriter first;
    first.meta(0, 0x51, {0x09, 0x27, 0xC0}).endOfTrack(0);
    TrackWriter second;
    second.event(0, {0xB0, 0x07, 0x50}).event(0, {0xB0, 0x80, 0x00}).endOfTrack(0);
    return smf::Smf(1, 0x0060, {first.body(), second.body()});
}

// Events long enough to be written in pieces where a build holds little as text: a text with
// what every format escapes, and a SysEx.
inline Bytes LargeEventsFile()
{
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "Testo, \"lungo\"\t\\\x01\xE8\n";
    }
    Bytes body;
    for (int i = 0; i < 300; ++i) {
        body.push_back(static_cast<std::uint8_t>(i % 0x80));
    }
    body.push_back(0xF7);
    TrackWriter track;
    track.event(0, {0x90, 0x3C, 0x40}).text(0, 0x05, text).event(0, {0x3C, 0x00});
    track.sysex(0x20, body).event(0, {0x90, 0x3E, 0x40}).endOfTrack(0x60);
    return smf::Smf(0, 0x0060, {track.body()});
}

// A file inside an RMID container: a chunk of odd length before the "data" chunk, which holds a
// whole file of every family, and a chunk after it.
inline Bytes ContainerFile()
{
    const Bytes midi = EveryFamilyFile();
    Bytes data = {'d', 'a', 't', 'a'};
    for (int shift = 0; shift < 32; shift += 8) {
        data.push_back(static_cast<std::uint8_t>(midi.size() >> shift));
    }
    data.insert(data.end(), midi.begin(), midi.end());
    if (midi.size() % 2 != 0) {
        data.push_back(0x00);
    }
    return smf::Concat({{'R', 'I', 'F', 'F', 0x00, 0x00, 0x00, 0x00, 'R', 'M', 'I', 'D'},
                        {'L', 'I', 'S', 'T', 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c', 0x00},
                        data,
                        {'L', 'I', 'S', 'T', 0x04, 0x00, 0x00, 0x00, 'I', 'N', 'F', 'O'}});
}

inline std::vector<SampleFile> SampleFiles()
{
    return {
        {"every-family", EveryFamilyFile()}, {"chunk-layout", ChunkLayoutFile()},
        {"long-lengths", LongLengthsFile()}, {"unknown-status", UnknownStatusFile()},
        {"failure", FailureFile()},          {"large-events", LargeEventsFile()},
        {"rmid-container", ContainerFile()},
    };
}

} // namespace tracklens::samples
