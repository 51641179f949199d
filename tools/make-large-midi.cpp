// Writes a large, valid Standard MIDI File of an exact size, the same bytes for the same size and
// seed: a conductor track of tempo changes, time and key signatures and markers, then as many
// tracks as the size needs of dense notes under running status, controllers, pitch bend,
// aftertouch, program changes, lyrics and other texts and SysEx messages.
//
// Usage: make-large-midi (--size-mb N | --size-kb N | --size-bytes N) [--seed S] OUTPUT
// A megabyte here is 1,048,576 bytes and a kilobyte 1,024.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/FixedRandom.h"
#include "tools/smf/SmfBuilder.h"

using tracklens::smf::Bytes;
using tracklens::smf::TrackWriter;

namespace {

constexpr std::uint16_t kDivision = 480;
constexpr std::uint64_t kSmallestFile = 4096;
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFu;
constexpr std::uint64_t kTrackBodyBytes = 256 * 1024; // the aim for each dense track
constexpr std::uint64_t kHeaderChunkBytes = 14;
constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::size_t kEndOfTrackBytes = 4;     // 00 FF 2F 00
constexpr std::size_t kReserveAtTrackEnd = 200; // note offs and filling texts
constexpr std::size_t kPolyphony = 8;

using Random = tracklens::tools::FixedRandom;

// Mostly short delta times, some of two bytes and a few of three.
std::uint32_t Delta(Random& random)
{
    const std::uint32_t kind = random.between(0, 99);
    if (kind < 35) {
        return 0;
    }
    if (kind < 90) {
        return random.between(1, 100);
    }
    if (kind < 99) {
        return random.between(128, 1500);
    }
    return random.between(16384, 40000);
}

Bytes TextBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// Windows-1252 text, accented letters included.
constexpr std::array<std::string_view, 10> kSyllables = {
    "la",
    "do",
    "mi",
    "sol",
    "re",
    "fa",
    "si",
    "citt\xE0",
    "perch\xE9",
    "\x93"
    "ancora\x94",
};

constexpr std::array<std::uint8_t, 9> kControllers = {1, 7, 10, 11, 64, 71, 74, 91, 93};

// Roland GS: a part's parameter set by DT1, with its checksum.
Bytes GsParameter(std::uint8_t part, std::uint8_t parameter, std::uint8_t value)
{
    const std::uint8_t address[3] = {0x40, static_cast<std::uint8_t>(0x10 | part), parameter};
    const unsigned sum = 0u + address[0] + address[1] + address[2] + value;
    const auto checksum = static_cast<std::uint8_t>((128u - sum % 128u) % 128u);
    return {0x41, 0x10, 0x42, 0x12, address[0], address[1], address[2], value, checksum, 0xF7};
}

void AddSysEx(TrackWriter& track, Random& random, std::uint8_t channel)
{
    switch (random.between(0, 3)) {
    case 0:
        track.sysex(Delta(random), {0x7E, 0x7F, 0x09, 0x01, 0xF7}); // GM System On
        break;
    case 1:
        track.sysex(Delta(random), {0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
        break;
    case 2:
        track.sysex(Delta(random), GsParameter(channel, 0x15, random.byteBetween(0, 2)));
        break;
    default: // Yamaha XG: a part's volume
        track.sysex(Delta(random),
                    {0x43, 0x10, 0x4C, 0x08, channel, 0x0B, random.byteBetween(0, 127), 0xF7});
        break;
    }
}

TrackWriter ConductorTrack(std::uint64_t fileSize, std::uint64_t seed)
{
    Random random(seed ^ 0xC0DDC70Bu);
    TrackWriter track;
    track.meta(0, 0x00, {0x00, 0x01})
        .text(0, 0x03, "Tracklens large file, seed " + std::to_string(seed))
        .text(0, 0x02, "(C) 2026 The Tracklens developers")
        .text(0, 0x01, "Generated for the benchmarks: dense notes on many tracks")
        .meta(0, 0x54, {0x60, 0x00, 0x00, 0x00, 0x00})
        .meta(0, 0x58, {0x04, 0x02, 0x18, 0x08})
        .meta(0, 0x59, {0x00, 0x00})
        .meta(0, 0x51, {0x07, 0xA1, 0x20});
    const std::uint64_t sections = std::clamp<std::uint64_t>(fileSize / (64 * 1024), 4, 100000);
    for (std::uint64_t section = 1; section <= sections; ++section) {
        const std::uint32_t tempo = random.between(300000, 1000000);
        track.meta(4 * kDivision, 0x51,
                   {static_cast<std::uint8_t>(tempo >> 16), static_cast<std::uint8_t>(tempo >> 8),
                    static_cast<std::uint8_t>(tempo)});
        if (section % 4 == 0) {
            track.text(0, 0x06, "Section " + std::to_string(section / 4));
        }
        if (section % 16 == 0) {
            const std::uint8_t beats = random.between(0, 1) == 0 ? 3 : 4;
            track.meta(0, 0x58, {beats, 0x02, 0x18, 0x08});
            const auto key = static_cast<std::uint8_t>(random.between(0, 14) - 7u);
            track.meta(0, 0x59, {key, random.byteBetween(0, 1)});
        }
    }
    track.endOfTrack(4 * kDivision);
    return track;
}

// The notes and messages of one track, its body exactly bodySize bytes long.
class DenseTrack {
public:
    DenseTrack(std::uint64_t seed, std::uint32_t index)
        : random_(seed * 0x2545F4914F6CDD1Du + index)
        , channel_(static_cast<std::uint8_t>(index % 16))
        , index_(index)
    {
    }

    TrackWriter write(std::size_t bodySize)
    {
        preamble();
        while (track_.size() + kEndOfTrackBytes + kReserveAtTrackEnd < bodySize) {
            step();
        }
        while (!sounding_.empty()) {
            noteOff(0);
        }
        fill(bodySize - kEndOfTrackBytes);
        track_.endOfTrack(0);
        return std::move(track_);
    }

private:
    std::uint8_t status(std::uint8_t kind) const
    {
        return static_cast<std::uint8_t>(kind | channel_);
    }

    void preamble()
    {
        track_.text(0, 0x03, "Track " + std::to_string(index_))
            .text(0, 0x04, "Instrument " + std::to_string(index_ % 128))
            .meta(0, 0x21, {static_cast<std::uint8_t>(index_ / 16 % 4)});
        if (index_ == 0) {
            track_.sysex(0, {0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
        }
        track_.channel(0, status(0xC0), random_.byteBetween(0, 127))
            .channel(0, status(0xB0), 7, random_.byteBetween(64, 127))
            .channel(0, 10, random_.byteBetween(0, 127))
            .channel(0, 91, random_.byteBetween(0, 64));
    }

    void step()
    {
        const std::uint32_t kind = random_.between(0, 999);
        if (kind < 700) {
            if (sounding_.size() < kPolyphony &&
                (sounding_.empty() || random_.between(0, 1) == 0)) {
                noteOn();
            } else {
                noteOff(Delta(random_));
            }
        } else if (kind < 830) {
            const std::uint8_t controller =
                kControllers[random_.between(0, kControllers.size() - 1)];
            for (std::uint32_t i = random_.between(1, 4); i > 0; --i) {
                track_.channel(random_.between(0, 30), status(0xB0), controller,
                               random_.byteBetween(0, 127));
            }
        } else if (kind < 910) {
            std::uint32_t bend = random_.between(0, 16383);
            for (std::uint32_t i = random_.between(2, 5); i > 0; --i) {
                bend = std::min<std::uint32_t>(16383, bend + random_.between(0, 1024));
                track_.channel(random_.between(0, 20), status(0xE0),
                               static_cast<std::uint8_t>(bend & 0x7F),
                               static_cast<std::uint8_t>(bend >> 7));
            }
        } else if (kind < 935) {
            track_.channel(Delta(random_), status(0xD0), random_.byteBetween(0, 127));
        } else if (kind < 950) {
            const std::uint8_t key =
                sounding_.empty() ? random_.byteBetween(24, 108) : sounding_[0];
            track_.channel(Delta(random_), status(0xA0), key, random_.byteBetween(0, 127));
        } else if (kind < 960) {
            track_.channel(Delta(random_), status(0xC0), random_.byteBetween(0, 127));
        } else if (kind < 985) {
            const std::string_view syllable = kSyllables[random_.between(0, kSyllables.size() - 1)];
            track_.meta(Delta(random_), random_.between(0, 3) == 0 ? 0x01 : 0x05,
                        TextBytes(syllable));
        } else if (kind < 995) {
            AddSysEx(track_, random_, channel_);
        } else {
            const std::string text = "Cue " + std::to_string(random_.between(1, 999));
            track_.meta(Delta(random_), random_.between(0, 1) == 0 ? 0x06 : 0x07, TextBytes(text));
        }
    }

    void noteOn()
    {
        center_ = std::clamp<std::uint32_t>(center_ + random_.between(0, 8) - 4u, 36, 96);
        const std::uint8_t key = random_.byteBetween(center_ - 12, center_ + 12);
        if (std::find(sounding_.begin(), sounding_.end(), key) != sounding_.end()) {
            return;
        }
        track_.channel(Delta(random_), status(0x90), key, random_.byteBetween(1, 127));
        sounding_.push_back(key);
    }

    // Mostly a note on of velocity 0 under running status, sometimes a note off of its own.
    void noteOff(std::uint32_t delta)
    {
        const std::size_t which =
            random_.between(0, static_cast<std::uint32_t>(sounding_.size() - 1));
        const std::uint8_t key = sounding_[which];
        sounding_.erase(sounding_.begin() + static_cast<std::ptrdiff_t>(which));
        if (random_.between(0, 99) < 85) {
            track_.channel(delta, status(0x90), key, 0);
        } else {
            track_.channel(delta, status(0x80), key, random_.byteBetween(0, 127));
        }
    }

    // Text events that bring the body to exactly size bytes.
    void fill(std::size_t size)
    {
        constexpr std::size_t kTextEventBytes = 4; // delta 0, FF, 01, a one-byte length
        constexpr std::size_t kLongestShortText = 127;
        while (track_.size() < size) {
            const std::size_t left = size - track_.size();
            const std::size_t length = left <= kTextEventBytes + kLongestShortText
                                           ? left - kTextEventBytes
                                           : kLongestShortText / 2;
            std::string text;
            for (std::size_t i = 0; i < length; ++i) {
                text += static_cast<char>('a' + (i + index_) % 26);
            }
            track_.text(0, 0x01, text);
        }
    }

    Random random_;
    TrackWriter track_;
    std::vector<std::uint8_t> sounding_;
    std::uint32_t center_ = 60;
    std::uint8_t channel_;
    std::uint32_t index_;
};

bool ParseNumber(std::string_view text, std::uint64_t& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

int Usage()
{
    std::cerr << "usage: make-large-midi (--size-mb N | --size-kb N | --size-bytes N) [--seed S] "
                 "OUTPUT\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t size = 0;
    std::uint64_t seed = 1;
    std::string outputPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::uint64_t unit = 0;
        if (argument == "--size-mb") {
            unit = 1024 * 1024;
        } else if (argument == "--size-kb") {
            unit = 1024;
        } else if (argument == "--size-bytes") {
            unit = 1;
        }
        if (unit != 0 || argument == "--seed") {
            std::uint64_t value = 0;
            if (i + 1 == argc || !ParseNumber(argv[++i], value)) {
                return Usage();
            }
            if (unit == 0) {
                seed = value;
            } else if (value > kLargestFile / unit) {
                size = kLargestFile + 1;
            } else {
                size = value * unit;
            }
        } else if (outputPath.empty() && !argument.starts_with("--")) {
            outputPath = argument;
        } else {
            return Usage();
        }
    }
    if (outputPath.empty() || size == 0) {
        return Usage();
    }
    if (size < kSmallestFile || size > kLargestFile) {
        std::cerr << "make-large-midi: the size must be from " << kSmallestFile << " to "
                  << kLargestFile << " bytes\n";
        return 2;
    }

    const TrackWriter conductor = ConductorTrack(size, seed);
    const std::uint64_t used = kHeaderChunkBytes + kChunkHeaderBytes + conductor.size();
    const std::uint64_t left = size - used;
    const std::uint64_t trackCount =
        std::max<std::uint64_t>(1, left / (kChunkHeaderBytes + kTrackBodyBytes));
    if (trackCount + 1 > 0xFFFF) {
        std::cerr << "make-large-midi: too many tracks for that size\n";
        return 2;
    }

    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    Bytes chunk = tracklens::smf::Concat(
        {tracklens::smf::Header({1, static_cast<std::uint16_t>(trackCount + 1), kDivision}),
         tracklens::smf::Chunk("MTrk", conductor.body())});
    out.write(reinterpret_cast<const char*>(chunk.data()),
              static_cast<std::streamsize>(chunk.size()));
    std::uint64_t written = chunk.size();

    // The bytes left are shared out evenly; the last track takes what the division leaves.
    const std::uint64_t share = left / trackCount;
    for (std::uint64_t index = 0; index < trackCount; ++index) {
        const std::uint64_t chunkSize = index + 1 < trackCount ? share : size - written;
        const TrackWriter track =
            DenseTrack(seed, static_cast<std::uint32_t>(index))
                .write(static_cast<std::size_t>(chunkSize - kChunkHeaderBytes));
        chunk = tracklens::smf::Chunk("MTrk", track.body());
        out.write(reinterpret_cast<const char*>(chunk.data()),
                  static_cast<std::streamsize>(chunk.size()));
        written += chunk.size();
    }
    out.close();
    if (!out) {
        std::cerr << "make-large-midi: cannot write " << outputPath << '\n';
        return 1;
    }
    if (written != size) {
        std::cerr << "make-large-midi: wrote " << written << " bytes instead of " << size << '\n';
        return 1;
    }
    return 0;
}
