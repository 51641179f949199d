#include "engine/TimeMaps.h"

#include <algorithm>
#include <array>
#include <future>
#include <new>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>

#include "engine/Conversions.h"
#include "engine/EventWalkSteps.h"
#include "engine/MetaEvents.h"
#include "engine/PlaceTexts.h"
#include "engine/RelistPlan.h"

namespace tracklens {

namespace {

constexpr std::uint32_t kTempoAtStart = 500'000; // microseconds per quarter note: 120 a minute
constexpr std::uint8_t kNumeratorAtStart = 4;
constexpr std::uint8_t kDenominatorPowerAtStart = 2; // 4/4
constexpr std::uint8_t kLargestDenominatorPower = 31;
constexpr std::uint64_t kLastTick = ~std::uint64_t{0};

constexpr std::uint64_t kMicrosecondsPerMillisecond = 1'000;

template <typename Point>
bool ComesBefore(const Point& a, const Point& b)
{
    return std::tie(a.track, a.tick) < std::tie(b.track, b.tick);
}

// The quotient and the remainder, in 64 bits when both numbers fit them, as they nearly always do:
// a division of 128 bits is a call and many times slower.
WideUnsigned Quotient(WideUnsigned dividend, WideUnsigned divisor)
{
    if ((dividend >> 64) == 0 && (divisor >> 64) == 0) {
        return static_cast<std::uint64_t>(dividend) / static_cast<std::uint64_t>(divisor);
    }
    return dividend / divisor;
}

WideUnsigned Remainder(WideUnsigned dividend, WideUnsigned divisor)
{
    if ((dividend >> 64) == 0 && (divisor >> 64) == 0) {
        return static_cast<std::uint64_t>(dividend) % static_cast<std::uint64_t>(divisor);
    }
    return dividend % divisor;
}

} // namespace

void TimeMaps::noteRow(ByteSpan file, const Row& row)
{
    switch (row.kind) {
    case RowKind::HeaderFormat:
        setFormat(static_cast<std::uint16_t>(BigEndian(file.subspan(row.offset, 2))));
        break;
    case RowKind::HeaderDivision:
        setDivision(file[row.offset], file[row.offset + 1]);
        break;
    case RowKind::Meta:
        if (const std::optional<std::uint32_t> tempo = MetaTempo(file, row)) {
            addTempo(keyOf(row), row.absTick, *tempo);
        } else if (const std::optional<TimeSignatureFields> signature =
                       MetaTimeSignature(file, row)) {
            addTimeSignature(keyOf(row), row.absTick, signature->numerator,
                             signature->denominatorPower);
        }
        break;
    default:
        break;
    }
}

// Top bit clear: ticks per quarter note. Set: the negative frames per second, then ticks per
// frame. No count of zero gives ticks a length.
void TimeMaps::setDivision(std::uint8_t high, std::uint8_t low)
{
    timing_ = Timing::None;
    if ((high & 0x80) == 0) {
        const std::uint32_t ticksPerQuarter = std::uint32_t{high} << 8 | low;
        if (ticksPerQuarter != 0) {
            timing_ = Timing::TicksPerQuarter;
            timeDivisor_ = std::uint64_t{ticksPerQuarter} * kMicrosecondsPerMillisecond;
            unitsPerBeat_ = std::uint64_t{4} * ticksPerQuarter;
        }
    } else {
        const auto framesPerSecond = static_cast<std::uint32_t>(-static_cast<std::int8_t>(high));
        if (low != 0) {
            timing_ = Timing::Smpte;
            // 29 stands for 30000/1001 frames a second.
            smpteRate_ = framesPerSecond == 29 ? 1001 : 1000;
            timeDivisor_ = std::uint64_t{framesPerSecond == 29 ? 30 : framesPerSecond} * low;
        }
    }
}

void TimeMaps::addTempo(std::uint32_t track, std::uint64_t tick,
                        std::uint32_t microsecondsPerQuarter)
{
    tempos_.push_back({track, tick, microsecondsPerQuarter, 0});
}

// A signature without beats, or with a beat too fine to count, is no signature.
void TimeMaps::addTimeSignature(std::uint32_t track, std::uint64_t tick, std::uint8_t numerator,
                                std::uint8_t denominatorPower)
{
    if (numerator != 0 && denominatorPower <= kLargestDenominatorPower) {
        bars_.push_back({track, tick, numerator, denominatorPower, 0});
    }
}

void TimeMaps::addChangesOf(const TimeMaps& later)
{
    tempos_.insert(tempos_.end(), later.tempos_.begin(), later.tempos_.end());
    bars_.insert(bars_.end(), later.bars_.begin(), later.bars_.end());
}

void TimeMaps::complete()
{
    // Stable: changes at the same tick keep the order the walk listed them in.
    std::stable_sort(tempos_.begin(), tempos_.end(), ComesBefore<TempoPoint>);
    std::stable_sort(bars_.begin(), bars_.end(), ComesBefore<BarPoint>);
    sumTempos();
    countBars();
}

void TimeMaps::sumTempos()
{
    const TempoPoint* previous = nullptr;
    for (TempoPoint& point : tempos_) {
        if (previous == nullptr || previous->track != point.track) {
            point.elapsed = WideUnsigned{point.tick} * kTempoAtStart;
        } else {
            point.elapsed = previous->elapsed + WideUnsigned{point.tick - previous->tick} *
                                                    previous->microsecondsPerQuarter;
        }
        previous = &point;
    }
}

TimeMaps::BarPoint TimeMaps::barsAtStart(std::uint32_t track)
{
    return {track, 0, kNumeratorAtStart, kDenominatorPowerAtStart, 0};
}

// Counted in units of 1/2^dd tick, a beat is 4 × ticks per quarter units long, always whole. A
// signature starts a bar: one that comes inside a bar cuts that bar short.
void TimeMaps::countBars()
{
    const WideUnsigned unitsPerBeat = unitsPerBeat_;
    if (unitsPerBeat == 0) {
        return;
    }
    const BarPoint* previous = nullptr;
    for (BarPoint& point : bars_) {
        const bool first = previous == nullptr || previous->track != point.track;
        const BarPoint start = first ? barsAtStart(point.track) : *previous;
        const WideUnsigned units = WideUnsigned{point.tick - start.tick} << start.denominatorPower;
        const WideUnsigned unitsPerBar = unitsPerBeat * start.numerator;
        point.barsBefore = start.barsBefore + (units + unitsPerBar - 1) / unitsPerBar;
        previous = &point;
    }
}

// The last change of the track at or before the tick, or the map's start when there is none,
// and the tick of the track's next change: one search of the map.
template <typename Point>
TimeMaps::ChangeAt<Point> TimeMaps::changeAt(const std::vector<Point>& points, std::uint32_t track,
                                             std::uint64_t tick, const Point& atStart)
{
    const auto after = static_cast<std::size_t>(
        std::partition_point(points.begin(), points.end(),
                             [&](const Point& point) {
                                 return point.track < track ||
                                        (point.track == track && point.tick <= tick);
                             }) -
        points.begin());
    const bool changed = after > 0 && points[after - 1].track == track;
    const bool changesAgain = after < points.size() && points[after].track == track;
    return {changed ? points[after - 1] : atStart, changesAgain ? points[after].tick : kLastTick};
}

// The stretch that holds a tick: the one kept, or one made anew in its place; nothing when no
// stretch in 64 bits holds the tick.
template <typename Stretch, typename MakeStretch>
const Stretch* TimeMaps::stretchHolding(Stretch& kept, std::uint32_t key, std::uint64_t tick,
                                        MakeStretch makeStretch) const
{
    if (!kept.holds(key, tick)) {
        kept = (this->*makeStretch)(key, tick);
        if (!kept.holds(key, tick)) {
            return nullptr;
        }
    }
    return &kept;
}

// The first row of a stretch, a row placed alone, or one whose numbers outgrow 64 bits.
void TimeMaps::placeTime(TextCursor& out, const Row& row, Hints* hints) const
{
    if (IsChunkRow(row.kind) || timing_ == Timing::None) {
        return;
    }
    Hints::TimeStretch alone;
    const Hints::TimeStretch* stretch = stretchHolding(
        hints == nullptr ? alone : hints->time, keyOf(row), row.absTick, &TimeMaps::timeStretchAt);
    if (stretch == nullptr) {
        placeWideTime(out, row);
        return;
    }
    AppendMilliseconds(out, stretch->scaledAt(row.absTick) / timeDivisor_,
                       hints == nullptr ? nullptr : &hints->minutes);
}

void TimeMaps::placeBar(TextCursor& out, const Row& row, Hints* hints) const
{
    if (IsChunkRow(row.kind) || timing_ != Timing::TicksPerQuarter) {
        return;
    }
    Hints::BarStretch alone;
    const Hints::BarStretch* stretch = stretchHolding(
        hints == nullptr ? alone : hints->bar, keyOf(row), row.absTick, &TimeMaps::barStretchAt);
    if (stretch == nullptr) {
        placeWideBar(out, row);
        return;
    }
    appendBarIn(out, *stretch, row.absTick, hints == nullptr ? nullptr : &hints->bars);
}

// In a stretch, a tick's time is its scaled sum divided by timeDivisor_: microseconds times the
// ticks per quarter note, or milliseconds times the ticks per second. The stretch ends at the
// next change, but no further than the scaled sum fits 64 bits: it is empty when it never does.
TimeMaps::Hints::TimeStretch TimeMaps::timeStretchAt(std::uint32_t key, std::uint64_t tick) const
{
    // Under SMPTE every tick adds the same, from the start of the file to its end.
    ChangeAt<TempoPoint> change{TempoPoint{key, 0, 0, 0}, kLastTick};
    std::uint64_t rate = smpteRate_;
    if (timing_ == Timing::TicksPerQuarter) {
        change = changeAt(tempos_, key, tick, TempoPoint{key, 0, kTempoAtStart, 0});
        rate = change.start.microsecondsPerQuarter;
    }
    Hints::TimeStretch stretch;
    if ((change.start.elapsed >> 64) != 0) {
        return stretch;
    }
    stretch.scaledBefore = static_cast<std::uint64_t>(change.start.elapsed);
    stretch.rate = rate;
    const std::uint64_t longest = rate == 0 ? kLastTick : (kLastTick - stretch.scaledBefore) / rate;
    static_cast<Hints::Stretch&>(stretch) = {key, change.start.tick,
                                             std::min(change.next - change.start.tick, longest)};
    return stretch;
}

// Bars of fewer than 2^63 before the stretch, and fewer than 2^32 beats in it.
TimeMaps::Hints::BarStretch TimeMaps::barStretchAt(std::uint32_t key, std::uint64_t tick) const
{
    const ChangeAt<BarPoint> change = changeAt(bars_, key, tick, barsAtStart(key));
    const BarPoint& start = change.start;
    Hints::BarStretch stretch;
    if ((start.barsBefore >> 63) != 0) {
        return stretch;
    }
    stretch.barsBefore = static_cast<std::uint64_t>(start.barsBefore);
    stretch.numerator = start.numerator;
    stretch.denominatorPower = start.denominatorPower;
    const WideUnsigned unitsOfFewerBeats = (WideUnsigned{1} << 32) * unitsPerBeat_ - 1;
    const auto longest = static_cast<std::uint64_t>(
        std::min<WideUnsigned>(unitsOfFewerBeats, kLastTick) >> start.denominatorPower);
    static_cast<Hints::Stretch&>(stretch) = {key, start.tick,
                                             std::min(change.next - start.tick, longest)};
    return stretch;
}

// Exactly, in 128 bits, a time whose numbers outgrow 64.
void TimeMaps::placeWideTime(TextCursor& out, const Row& row) const
{
    WideUnsigned scaled = WideUnsigned{row.absTick} * smpteRate_;
    if (timing_ == Timing::TicksPerQuarter) {
        const std::uint32_t key = keyOf(row);
        const TempoPoint start =
            changeAt(tempos_, key, row.absTick, TempoPoint{key, 0, kTempoAtStart, 0}).start;
        scaled =
            start.elapsed + WideUnsigned{row.absTick - start.tick} * start.microsecondsPerQuarter;
    }
    const WideUnsigned milliseconds = Quotient(scaled, timeDivisor_);
    AppendWideUnsigned(out, milliseconds / kMillisecondsPerMinute);
    AppendWithinMinute(out, static_cast<std::uint64_t>(milliseconds % kMillisecondsPerMinute));
}

// Exactly, in 128 bits, a bar whose numbers outgrow 64 bits or a beat count of 32.
void TimeMaps::placeWideBar(TextCursor& out, const Row& row) const
{
    const std::uint32_t key = keyOf(row);
    const BarPoint start = changeAt(bars_, key, row.absTick, barsAtStart(key)).start;
    const WideUnsigned units = WideUnsigned{row.absTick - start.tick} << start.denominatorPower;
    const WideUnsigned beats = Quotient(units, unitsPerBeat_);
    const auto tickInBeat =
        static_cast<std::uint64_t>(Remainder(units, unitsPerBeat_) >> start.denominatorPower);
    AppendWideUnsigned(out, start.barsBefore + Quotient(beats, start.numerator) + 1);
    AppendBeatTick(out, static_cast<std::uint64_t>(Remainder(beats, start.numerator)) + 1,
                   tickInBeat);
}

std::string TimeMaps::longestTime(std::uint64_t lastTick) const
{
    return longestText(lastTick, &TimeMaps::appendTime);
}

std::string TimeMaps::longestBar(std::uint64_t lastTick) const
{
    return longestText(lastTick, &TimeMaps::appendBar);
}

// Times and bars grow with the tick: the longest is the last tick's, under one of the maps.
std::string TimeMaps::longestText(std::uint64_t lastTick,
                                  void (TimeMaps::*append)(TextCursor&, const Row&, Hints*)
                                      const) const
{
    std::vector<std::uint32_t> tracks{0};
    for (const TempoPoint& point : tempos_) {
        tracks.push_back(point.track);
    }
    for (const BarPoint& point : bars_) {
        tracks.push_back(point.track);
    }
    std::sort(tracks.begin(), tracks.end());
    tracks.erase(std::unique(tracks.begin(), tracks.end()), tracks.end());
    std::string longest;
    for (const std::uint32_t track : tracks) {
        Row row{};
        row.kind = RowKind::Meta;
        row.absTick = lastTick;
        row.track = track;
        std::string text =
            WrittenText(kLongestText, [&](TextCursor& out) { (this->*append)(out, row, nullptr); });
        if (text.size() > longest.size()) {
            longest = std::move(text);
        }
    }
    return longest;
}

namespace {

// Notes the rows that place ticks in time, and gives every row to the plan of a listing, if any.
class TimeMapsSink final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    TimeMapsSink(ByteSpan file, TimeMaps& maps, RelistPlan* plan)
        : file_(file)
        , maps_(maps)
        , plan_(plan)
    {
    }
    void AddRow(const Row& row, std::size_t, const WalkPoint& before) override
    {
        if (row.kind == RowKind::Meta || IsChunkRow(row.kind)) {
            maps_.noteRow(file_, row);
        }
        if (plan_ != nullptr) {
            plan_->noteRow(row, before);
        }
    }

private:
    ByteSpan file_;
    TimeMaps& maps_;
    RelistPlan* plan_;
};

using TimeMapsWalk = BasicEventWalk<TimeMapsSink>;

// The changes and the parts of the chunks from a point at a chunk's tag, and whether they are
// those that a walk of the whole file notes there: they are when the walk met no problem, and so
// took no running status from the chunks before. Its points then hold no running status where a
// whole walk's would, which no event after them uses: a listing again from them gives the rows
// of the whole walk.
struct LaterHalf {
    TimeMaps maps;
    std::optional<RelistPlan> plan;
    std::int32_t rows = 0;
    bool asInAWholeWalk = false;
};

// The later half begins with the maps of the header: its format keys the changes.
LaterHalf GatherLaterHalf(ByteSpan file, WalkMode mode, const WalkPoint& from,
                          const TimeMaps& header, std::optional<RelistPlan::Limits> parts)
{
    LaterHalf half;
    half.maps = header;
    if (parts) {
        half.plan.emplace(*parts);
    }
    TimeMapsSink sink(file, half.maps, half.plan ? &*half.plan : nullptr);
    TimeMapsWalk walk(file, sink, mode);
    const RunOutcome outcome = walk.readChunksTakenUpAt(from);
    half.rows = walk.rowCount();
    half.asInAWholeWalk = outcome.complete() && walk.problems().empty();
    return half;
}

// The chunks after the header: those of the later half on a second thread, when the file is
// large enough and has chunks to share. A later half that is not as a whole walk would note it
// is walked again, after the earlier one.
RunOutcome GatherChunks(ByteSpan file, WalkMode mode, std::size_t smallestFileInHalves,
                        TimeMapsWalk& walk, TimeMaps& maps, RelistPlan* plan)
{
    const std::optional<WalkPoint> middle =
        file.size() >= smallestFileInHalves ? walk.middleChunk() : std::nullopt;
    if (!middle) {
        return walk.readChunks();
    }
    std::optional<RelistPlan::Limits> laterParts;
    if (plan != nullptr) {
        laterParts = plan->limits();
    }
    std::future<LaterHalf> later;
    try {
        later =
            std::async(std::launch::async, GatherLaterHalf, file, mode, *middle, maps, laterParts);
    } catch (const std::system_error&) {
        return walk.readChunks();
    }
    const RunOutcome earlier = walk.readChunksBefore(middle->chunk);
    LaterHalf half = later.get();
    if (!earlier.complete()) {
        return earlier; // the whole walk ends before the later half
    }
    if (half.asInAWholeWalk && half.rows <= TimeMapsWalk::kMostRows - walk.rowCount()) {
        maps.addChangesOf(half.maps);
        if (plan != nullptr) {
            plan->addPartsOf(std::move(*half.plan));
        }
        return earlier;
    }
    return walk.readChunksFrom(middle->chunk);
}

} // namespace

TimeMaps GatherTimeMaps(ByteSpan file, WalkMode mode, std::size_t smallestFileInHalves,
                        RelistPlan* plan)
{
    TimeMaps maps;
    TimeMapsSink sink(file, maps, plan);
    TimeMapsWalk walk(file, sink, mode);
    RunOutcome outcome = walk.readHeader();
    if (outcome.complete()) {
        outcome = GatherChunks(file, mode, smallestFileInHalves, walk, maps, plan);
    }
    // Maps that miss what memory could not hold would place rows wrongly.
    if (outcome.ranOutOfMemory()) {
        throw std::bad_alloc();
    }
    maps.complete();
    if (plan != nullptr) {
        plan->endWith(outcome, walk.takeProblems());
    }
    return maps;
}

} // namespace tracklens
