#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Bytes.h"
#include "engine/Row.h"
#include "engine/TextCursor.h"
#include "engine/WideNumber.h"

namespace tracklens {

// Where a tick stands in time and in bars: the tempo map and the time-signature map of a file,
// gathered from the rows of its walk.
//
// Format 0 and 1 files have one map of each, made of the events of every track merged by tick
// (in file order at the same tick); any other format gives each track its own. Until its first
// change a map holds 500,000 microseconds per quarter note and 4/4. Everything is computed in
// integers, so that no tick, tempo or signature is ever rounded on the way.
class TimeMaps {
public:
    // No time or bar text is longer: the decimal digits of a 128-bit number and what follows.
    static constexpr std::size_t kLongestText = kLongestWideNumber + 12;

    // Takes a row of the walk, in the walk's order: the header's format and division, the Set
    // Tempo and Time Signature events count; call complete() after the last.
    void noteRow(ByteSpan file, const Row& row);

    // The same, field by field.
    void setFormat(std::uint16_t format) { perTrack_ = format > 1; }
    void setDivision(std::uint8_t high, std::uint8_t low);
    void addTempo(std::uint32_t track, std::uint64_t tick, std::uint32_t microsecondsPerQuarter);
    void addTimeSignature(std::uint32_t track, std::uint64_t tick, std::uint8_t numerator,
                          std::uint8_t denominatorPower);

    // Merges and sums what was noted; the texts are those of the maps without changes before.
    void complete();

    // "M:SS.mmm" from the start of the file, truncated to the millisecond; nothing when the
    // division gives ticks no length. Rows of the header and of chunks show nothing.
    void appendTime(TextCursor& out, const Row& row) const;

    // "B:b:TTT", bar and beat counted from 1, the tick within the beat in at least three digits;
    // nothing unless ticks are counted per quarter note.
    void appendBar(TextCursor& out, const Row& row) const;

private:
    struct TempoPoint {
        std::uint32_t track;
        std::uint64_t tick;
        std::uint32_t microsecondsPerQuarter;
        WideUnsigned elapsed; // sum of ticks times their tempo before tick
    };
    struct BarPoint {
        std::uint32_t track;
        std::uint64_t tick;
        std::uint8_t numerator;
        std::uint8_t denominatorPower;
        WideUnsigned barsBefore; // bars begun before tick, which starts one
    };
    enum class Timing {
        None,
        TicksPerQuarter,
        Smpte,
    };

    std::uint32_t keyOf(const Row& row) const { return perTrack_ ? row.track : 0; }
    void sumTempos();
    void countBars();
    template <typename Point>
    const Point* pointAt(const std::vector<Point>& points, std::uint32_t track,
                         std::uint64_t tick) const;

    bool perTrack_ = false;
    Timing timing_ = Timing::None;
    std::uint32_t ticksPerQuarter_ = 0;
    std::uint32_t framesPerSecond_ = 0; // 29 stands for 30000/1001
    std::uint32_t ticksPerFrame_ = 0;
    std::vector<TempoPoint> tempos_;
    std::vector<BarPoint> bars_;
};

// The maps of a file from a walk that notes only what they need, for a listing that writes its
// rows as they are found.
TimeMaps GatherTimeMaps(ByteSpan file);

} // namespace tracklens
