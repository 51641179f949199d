// Writes TestRead.mid, the small song offered at start: three tracks that use every message
// family the listing decodes. Usage: make-testread OUTPUT

#include <cstdio>
#include <fstream>
#include <iostream>

#include "tools/smf/SmfBuilder.h"

using tracklens::smf::TrackWriter;

namespace {

constexpr std::uint16_t kTicksPerQuarter = 96;

TrackWriter ConductorTrack()
{
    TrackWriter track;
    track.meta(0, 0x00, {0x00, 0x01})
        .text(0, 0x03, "TestRead")
        .text(0, 0x02, "(C) 2026 The Tracklens developers")
        .text(0, 0x01, "A short song for Tracklens: every kind of message once")
        .meta(0, 0x58, {0x04, 0x02, 0x18, 0x08})
        .meta(0, 0x59, {0x00, 0x00})
        .meta(0, 0x51, {0x07, 0xA1, 0x20})
        .meta(0, 0x54, {0x60, 0x00, 0x00, 0x00, 0x00})
        .text(0, 0x06, "Strofa")
        .meta(4 * kTicksPerQuarter, 0x51, {0x08, 0x7A, 0x23})
        .text(0, 0x06, "Ritornello")
        .meta(4 * kTicksPerQuarter, 0x58, {0x03, 0x02, 0x18, 0x08})
        .meta(0, 0x59, {0xFD, 0x01})
        .endOfTrack(3 * kTicksPerQuarter);
    return track;
}

TrackWriter PianoTrack()
{
    TrackWriter track;
    track.text(0, 0x03, "Piano")
        .text(0, 0x04, "Acoustic Grand")
        .meta(0, 0x20, {0x00})
        .meta(0, 0x21, {0x00})
        .sysex(0, {0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7})
        .sysex(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
        .event(0, {0xC0, 0x00})
        .event(0, {0xB0, 0x07, 0x64})
        .event(0, {0x0A, 0x40})
        .event(0, {0x5B, 0x28})
        .event(0, {0x40, 0x7F});
    // C major scale up, note on and off under running status.
    const std::uint8_t scale[] = {60, 62, 64, 65, 67, 69, 71, 72};
    track.event(0, {0x90, scale[0], 0x64});
    track.event(kTicksPerQuarter / 2, {scale[0], 0x00});
    for (std::size_t i = 1; i < sizeof scale; ++i) {
        track.event(0, {scale[i], 0x50});
        track.text(0, 0x05, i % 2 == 0 ? "la" : "do");
        track.event(kTicksPerQuarter / 2, {scale[i], 0x00});
    }
    track.event(0, {0xB0, 0x40, 0x00})
        .event(0, {0xE0, 0x00, 0x40})
        .event(0, {0x90, 0x3C, 0x70})
        .event(kTicksPerQuarter / 4, {0xE0, 0x00, 0x50})
        .event(kTicksPerQuarter / 4, {0x00, 0x60})
        .event(kTicksPerQuarter / 4, {0x7F, 0x7F})
        .event(kTicksPerQuarter / 4, {0xE0, 0x00, 0x40})
        .event(0, {0xA0, 0x3C, 0x30})
        .event(0, {0xD0, 0x50})
        .event(kTicksPerQuarter, {0x80, 0x3C, 0x40})
        .text(0, 0x07, "Fine")
        .meta(0, 0x7F, {0x00, 0x00, 0x41, 0x01})
        .endOfTrack(kTicksPerQuarter);
    return track;
}

TrackWriter StringsAndDrumsTrack()
{
    TrackWriter track;
    track.text(0, 0x03, "Archi e batteria")
        .event(0, {0xC1, 0x30})
        .event(0, {0xC9, 0x00})
        .event(0, {0xB1, 0x0B, 0x50})
        .event(0, {0x91, 0x30, 0x50})
        .event(0, {0x34, 0x50})
        .event(0, {0x37, 0x50});
    for (int beat = 0; beat < 8; ++beat) {
        track.event(0, {0x99, static_cast<std::uint8_t>(beat % 2 == 0 ? 36 : 38), 0x60});
        track.event(kTicksPerQuarter / 2,
                    {0x89, static_cast<std::uint8_t>(beat % 2 == 0 ? 36 : 38), 0x00});
        track.event(0, {0x99, 42, 0x40});
        track.event(kTicksPerQuarter / 2, {42, 0x00});
    }
    track.event(0, {0x81, 0x30, 0x40})
        .event(0, {0x34, 0x40})
        .event(0, {0x37, 0x40})
        .event(0, {0xB1, 0x7B, 0x00})
        .endOfTrack(0);
    return track;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make-testread OUTPUT\n";
        return 2;
    }
    const auto file = tracklens::smf::Smf(
        1, kTicksPerQuarter,
        {ConductorTrack().body(), PianoTrack().body(), StringsAndDrumsTrack().body()});
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::cerr << "make-testread: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
