#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Bytes.h"
#include "engine/Conversions.h"
#include "engine/PlaceTexts.h"
#include "engine/Row.h"
#include "engine/TextCursor.h"
#include "engine/WalkPoint.h"
#include "engine/WideNumber.h"

namespace tracklens {

class RelistPlan;

// Where a tick stands in time and in bars: the tempo map and the time-signature map of a file,
// gathered from the rows of its walk.
//
// Format 0 and 1 files have one map of each, made of the events of every track merged by tick
// (in file order at the same tick); any other format gives each track its own. Until its first
// change a map holds 500,000 microseconds per quarter note and 4/4. Everything is computed in
// integers, so that no tick, tempo or signature is ever rounded on the way.
class TimeMaps {
public:
    // Where the rows placed last stood in each map. The rows of a track come in the order of
    // their ticks, so the next row nearly always falls in the same stretch of ticks, over which
    // a map does not change: it is placed from the numbers kept for that stretch, without a
    // search and in 64 bits. Each thread that places rows keeps its own, for one TimeMaps.
    struct Hints {
        // The ticks from..from+length of a track; empty at first.
        struct Stretch {
            std::uint32_t track = 0;
            std::uint64_t from = 0;
            std::uint64_t length = 0;

            bool holds(std::uint32_t key, std::uint64_t tick) const
            {
                return key == track && tick - from < length;
            }
        };
        struct TimeStretch : Stretch {
            std::uint64_t scaledBefore = 0; // the scaled time at from
            std::uint64_t rate = 0;         // what each tick adds to it

            std::uint64_t scaledAt(std::uint64_t tick) const
            {
                return scaledBefore + (tick - from) * rate;
            }
        };
        struct BarStretch : Stretch {
            std::uint64_t barsBefore = 0; // bars begun before from, which starts one
            std::uint32_t numerator = 1;
            std::uint8_t denominatorPower = 0;
        };

        TimeStretch time;
        BarStretch bar;
        // The minutes of the last time and the last bar written, which the next row mostly
        // shares.
        RememberedNumber minutes;
        RememberedNumber bars;
    };

    // The room a time or a bar is written in: no text is longer than the decimal digits of a
    // 128-bit number and what follows them, and the last piece is written whole.
    static constexpr std::size_t kLongestText = kLongestWideNumber + 12 + kPieceWidth;

    // Takes a row of the walk, in the walk's order: the header's format and division, the Set
    // Tempo and Time Signature events count; call complete() after the last.
    void noteRow(ByteSpan file, const Row& row);

    // The same, field by field.
    void setFormat(std::uint16_t format) { perTrack_ = format > 1; }
    void setDivision(std::uint8_t high, std::uint8_t low);
    void addTempo(std::uint32_t track, std::uint64_t tick, std::uint32_t microsecondsPerQuarter);
    void addTimeSignature(std::uint32_t track, std::uint64_t tick, std::uint8_t numerator,
                          std::uint8_t denominatorPower);

    // Adds the changes that another walk noted in the chunks after those walked for these maps,
    // as if they had been noted here after them; before complete().
    void addChangesOf(const TimeMaps& later);

    // Merges and sums what was noted; the texts are those of the maps without changes before.
    void complete();

    // "M:SS.mmm" from the start of the file, truncated to the millisecond; nothing when the
    // division gives ticks no length. Rows of the header and of chunks show nothing.
    [[gnu::always_inline]] void appendTime(TextCursor& out, const Row& row,
                                           Hints* hints = nullptr) const
    {
        if (!IsChunkRow(row.kind) && hints != nullptr &&
            hints->time.holds(keyOf(row), row.absTick)) {
            AppendMilliseconds(out, hints->time.scaledAt(row.absTick) / timeDivisor_,
                               &hints->minutes);
        } else {
            placeTime(out, row, hints);
        }
    }

    // "B:b:TTT", bar and beat counted from 1, the tick within the beat in at least three digits;
    // nothing unless ticks are counted per quarter note.
    [[gnu::always_inline]] void appendBar(TextCursor& out, const Row& row,
                                          Hints* hints = nullptr) const
    {
        if (!IsChunkRow(row.kind) && hints != nullptr &&
            hints->bar.holds(keyOf(row), row.absTick)) {
            appendBarIn(out, hints->bar, row.absTick, &hints->bars);
        } else {
            placeBar(out, row, hints);
        }
    }

    // The longest Time and Bar texts of the rows up to the tick, under any map: a view's width.
    std::string longestTime(std::uint64_t lastTick) const;
    std::string longestBar(std::uint64_t lastTick) const;

    friend bool operator==(const TimeMaps&, const TimeMaps&) = default;

private:
    struct TempoPoint {
        std::uint32_t track;
        std::uint64_t tick;
        std::uint32_t microsecondsPerQuarter;
        WideUnsigned elapsed; // sum of ticks times their tempo before tick

        friend bool operator==(const TempoPoint&, const TempoPoint&) = default;
    };
    struct BarPoint {
        std::uint32_t track;
        std::uint64_t tick;
        std::uint8_t numerator;
        std::uint8_t denominatorPower;
        WideUnsigned barsBefore; // bars begun before tick, which starts one

        friend bool operator==(const BarPoint&, const BarPoint&) = default;
    };
    enum class Timing {
        None,
        TicksPerQuarter,
        Smpte,
    };

    std::uint32_t keyOf(const Row& row) const { return perTrack_ ? row.track : 0; }
    Hints::TimeStretch timeStretchAt(std::uint32_t key, std::uint64_t tick) const;
    Hints::BarStretch barStretchAt(std::uint32_t key, std::uint64_t tick) const;
    template <typename Stretch, typename MakeStretch>
    const Stretch* stretchHolding(Stretch& kept, std::uint32_t key, std::uint64_t tick,
                                  MakeStretch makeStretch) const;
    void placeTime(TextCursor& out, const Row& row, Hints* hints) const;
    void placeBar(TextCursor& out, const Row& row, Hints* hints) const;
    void placeWideTime(TextCursor& out, const Row& row) const;
    void placeWideBar(TextCursor& out, const Row& row) const;
    void sumTempos();
    void countBars();
    std::string longestText(std::uint64_t lastTick,
                            void (TimeMaps::*append)(TextCursor&, const Row&, Hints*) const) const;
    // One division for the beat and one of 32 bits for the bar.
    [[gnu::always_inline]] void appendBarIn(TextCursor& out, const Hints::BarStretch& stretch,
                                            std::uint64_t tick, RememberedNumber* bars) const
    {
        const std::uint64_t units = (tick - stretch.from) << stretch.denominatorPower;
        const std::uint64_t beats = units / unitsPerBeat_;
        const std::uint64_t tickInBeat =
            (units - beats * unitsPerBeat_) >> stretch.denominatorPower;
        const auto beats32 = static_cast<std::uint32_t>(beats);
        AppendCount(out, stretch.barsBefore + beats32 / stretch.numerator + 1, bars);
        AppendBeatTick(out, beats32 % stretch.numerator + 1, tickInBeat);
    }
    // A change of a map and the tick of the next change of its track.
    template <typename Point>
    struct ChangeAt {
        Point start;
        std::uint64_t next;
    };
    template <typename Point>
    static ChangeAt<Point> changeAt(const std::vector<Point>& points, std::uint32_t track,
                                    std::uint64_t tick, const Point& atStart);
    static BarPoint barsAtStart(std::uint32_t track);

    bool perTrack_ = false;
    Timing timing_ = Timing::None;
    // A tick's time in milliseconds is its scaled time divided by timeDivisor_: microseconds
    // times ticks per quarter note, or a tick's count times smpteRate_ over ticks per second
    // times 1000 (times 1001 over 30 for 29.97 frames a second).
    std::uint64_t timeDivisor_ = 0;
    std::uint32_t smpteRate_ = 1000;
    std::uint64_t unitsPerBeat_ = 0; // 4 × ticks per quarter, in 2^-dd of a tick
    std::vector<TempoPoint> tempos_;
    std::vector<BarPoint> bars_;
};

// Files from this size on are walked in two halves at once, when a second thread can be had.
inline constexpr std::size_t kSmallestFileGatheredInHalves =
    kSmallBatches ? 0 : std::size_t{1} << 18;

// The maps of a file from a walk that notes only what they need, for a listing that writes its
// rows as they are found; a walk that keeps going notes the tempo and signature events after a
// track's problems too (a tempo of 0 is a problem row and enters no map). The maps are the same
// whether the walk is shared between two threads or not.
//
// Given a plan, the walk also cuts its rows into the plan's parts and tells it how it ended, so
// that a listing needs no walk of its own.
TimeMaps GatherTimeMaps(ByteSpan file, WalkMode mode = WalkMode::StopAtProblem,
                        std::size_t smallestFileInHalves = kSmallestFileGatheredInHalves,
                        RelistPlan* plan = nullptr);

} // namespace tracklens
