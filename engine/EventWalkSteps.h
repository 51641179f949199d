#pragma once

// The steps of the walk, for the source files that make it for their own sink:
//
//     #include "engine/EventWalkSteps.h"
//     template class tracklens::BasicEventWalk<MySink>;
//
// Everyone else includes EventWalk.h only.

#include <algorithm>
#include <limits>
#include <new>

#include "engine/ChannelVoice.h"
#include "engine/EventWalk.h"
#include "engine/MetaEvents.h"
#include "engine/SystemExclusive.h"
#include "engine/SystemMessages.h"
#include "engine/Vocabulary.h"

namespace tracklens {

namespace walk_detail {

inline constexpr std::size_t kChunkHeaderSize = 8;
inline constexpr std::size_t kHeaderChunkSize = 14;
inline constexpr std::uint32_t kSmallestHeaderLength = 6;
inline constexpr std::size_t kContainerHeaderSize = 12; // "RIFF", its length, "RMID"

// A container whose "data" chunk holds no Standard MIDI File: the walk ends as for a file
// that is none.
struct NotAStandardFile {};

// An event this walk cannot decode: the walk stops at it.
struct UnknownStatus {
    std::uint64_t position;
    std::uint8_t status;
};

// One row more than the walk may list: the row's position in the file.
struct TooManyRows {
    std::uint64_t position;
};

inline bool StartsWith(ByteSpan bytes, std::span<const std::uint8_t, 4> tag)
{
    return bytes.size() >= tag.size() && std::equal(tag.begin(), tag.end(), bytes.begin());
}

inline bool IsRmidContainer(ByteSpan file)
{
    return file.size() >= kContainerHeaderSize && StartsWith(file, kRiffTag) &&
           StartsWith(file.subspan(8), kRmidForm);
}

// Right after a container chunk's length and the pad byte that follows an odd length.
inline std::uint64_t NextContainerChunk(ByteSpan file, std::uint64_t chunk)
{
    const std::uint32_t length = LittleEndian(file.subspan(static_cast<std::size_t>(chunk) + 4, 4));
    return chunk + kChunkHeaderSize + length + (length & 1u);
}

inline RunOutcome FailureOutcome(const RunFailure& failure)
{
    RunOutcome outcome;
    outcome.kind = RunOutcome::Kind::Failure;
    outcome.code = failure.code;
    outcome.position = failure.position;
    return outcome;
}

// A problem row shows at most this many bytes of the file after the delta time.
inline constexpr std::size_t kMostProblemBytes = 16;

// The row of a problem that ends the track's walk: the delta-time bytes read, which end at
// offset, and the bytes from there to the end of the track's body, at most kMostProblemBytes.
inline Row TrackEndingProblemRow(ProblemCode code, std::uint32_t track, std::uint64_t absTick,
                                 std::size_t deltaStart, std::size_t offset, std::size_t end)
{
    Row row{};
    row.track = track;
    row.absTick = absTick;
    row.offset = static_cast<std::uint32_t>(offset);
    row.length = static_cast<std::uint32_t>(std::min(end - offset, kMostProblemBytes));
    row.kind = RowKind::Problem;
    row.deltaLength = static_cast<std::uint8_t>(offset - deltaStart);
    row.detail = static_cast<std::uint16_t>(code);
    return row;
}

inline RunOutcome UnknownStatusOutcome(const UnknownStatus& unknown)
{
    RunOutcome outcome;
    outcome.kind = RunOutcome::Kind::UnknownStatus;
    outcome.position = unknown.position;
    outcome.status = unknown.status;
    return outcome;
}

} // namespace walk_detail

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::readHeader()
{
    const bool container = walk_detail::IsRmidContainer(file_);
    if (!container && !walk_detail::StartsWith(file_, kHeaderTag)) {
        return {RunOutcome::Kind::NotMidi};
    }
    if (file_.size() > kLargestFileSize) {
        return walk_detail::FailureOutcome({FailureCode::OutOfRange, kLargestFileSize + 1});
    }
    try {
        if (container) {
            inContainer_ = true;
            addChunkRow(RowKind::RiffTag, 0, 4);
            addChunkRow(RowKind::RiffLength, 4, 4);
            addChunkRow(RowKind::RiffForm, 8, 4);
            firstChunk_ = walk_detail::kContainerHeaderSize;
        } else {
            firstChunk_ = listHeaderChunk(0);
        }
    } catch (const RunFailure& failure) {
        return walk_detail::FailureOutcome(failure);
    }
    return {};
}

// The five rows of a Standard MIDI File's header chunk, which begins at begin and ends at end_;
// gives where its first chunk begins.
template <typename Sink>
std::uint64_t BasicEventWalk<Sink>::listHeaderChunk(std::size_t begin)
{
    if (end_ - begin < walk_detail::kHeaderChunkSize) {
        throw RunFailure{FailureCode::MissingByte, std::uint64_t{end_} + 1};
    }
    const std::uint32_t headerLength = BigEndian(file_.subspan(begin + 4, 4));
    if (headerLength < walk_detail::kSmallestHeaderLength) {
        throw RunFailure{FailureCode::MissingByte, begin + 9 + std::uint64_t{headerLength}};
    }
    addChunkRow(RowKind::HeaderTag, begin, 4);
    addChunkRow(RowKind::HeaderLength, begin + 4, 4);
    addChunkRow(RowKind::HeaderFormat, begin + 8, 2);
    addChunkRow(RowKind::HeaderTracks, begin + 10, 2);
    addChunkRow(RowKind::HeaderDivision, begin + 12, 2);
    return begin + walk_detail::kChunkHeaderSize + std::uint64_t{headerLength};
}

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::readChunks()
{
    const RunOutcome outcome = walkAllChunks();
    sink_.EndWalk();
    return outcome;
}

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::walkAllChunks()
{
    return outcomeOf([this] {
        if (inContainer_) {
            walkContainer(firstChunk_);
            if (!containerHasData_) {
                throw walk_detail::NotAStandardFile{};
            }
        } else {
            walkChunks(firstChunk_);
        }
    });
}

// How the steps of a walk ended.
template <typename Sink>
template <typename Steps>
RunOutcome BasicEventWalk<Sink>::outcomeOf(Steps steps)
{
    try {
        steps();
    } catch (const walk_detail::NotAStandardFile&) {
        return {RunOutcome::Kind::NotMidi};
    } catch (const walk_detail::TooManyRows& tooMany) {
        return walk_detail::FailureOutcome({FailureCode::OutOfRange, tooMany.position});
    } catch (const RunFailure& failure) {
        return walk_detail::FailureOutcome(failure);
    } catch (const walk_detail::UnknownStatus& unknown) {
        return walk_detail::UnknownStatusOutcome(unknown);
    } catch (const std::bad_alloc&) {
        return walk_detail::FailureOutcome({FailureCode::OutOfMemory, 0});
    }
    return {};
}

template <typename Sink>
std::optional<WalkPoint> BasicEventWalk<Sink>::middleChunk() const
{
    if (inContainer_) {
        return std::nullopt;
    }
    const std::uint64_t middle = end_ / 2;
    std::uint32_t tracks = 0;
    for (std::uint64_t chunk = firstChunk_;
         chunk <= end_ && end_ - chunk >= walk_detail::kChunkHeaderSize; chunk = nextChunk(chunk)) {
        if (chunk >= middle && chunk != firstChunk_) {
            return WalkPoint{static_cast<std::size_t>(chunk), 0, 0, 0, tracks, 0, keepGoing_};
        }
        if (walk_detail::StartsWith(file_.subspan(static_cast<std::size_t>(chunk)), kTrackTag)) {
            ++tracks;
        }
    }
    return std::nullopt;
}

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::readChunksBefore(std::uint64_t until)
{
    return outcomeOf([this, until] { walkChunks(firstChunk_, until); });
}

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::readChunksFrom(std::uint64_t chunk)
{
    return outcomeOf([this, chunk] { walkChunks(chunk); });
}

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::readChunksTakenUpAt(const WalkPoint& point)
{
    takeUp(point);
    return readChunksFrom(point.chunk);
}

// What the walk knew at a point of another walk of the same bytes.
template <typename Sink>
void BasicEventWalk<Sink>::takeUp(const WalkPoint& point)
{
    lastChannelStatus_ = point.lastChannelStatus;
    keepGoing_ = point.keepGoing;
    tracksBefore_ = point.tracksBefore;
    inContainer_ = walk_detail::IsRmidContainer(file_);
}

template <typename Sink>
std::int32_t BasicEventWalk<Sink>::relist(const WalkPoint& point, std::int32_t rows)
{
    rowCount_ = 0;
    mostRows_ = rows;
    takeUp(point);
    try {
        if (point.dataChunk != 0) {
            enterEmbeddedFile(point.dataChunk);
            relistInFile(point);
            leaveEmbeddedFile();
            walkContainer(walk_detail::NextContainerChunk(file_, point.dataChunk));
        } else if (inContainer_) {
            walkContainer(point.chunk);
        } else {
            relistInFile(point);
        }
    } catch (const walk_detail::TooManyRows&) {
        // The rows asked for are listed: the walk stops at the row after them, or at the failure
        // or unknown status right after them that ended the whole walk.
    } catch (const RunFailure& failure) {
        // Memory, unlike the file, can fail the second walk where the first went on.
        if (failure.code == FailureCode::OutOfMemory) {
            throw std::bad_alloc();
        }
    } catch (const walk_detail::UnknownStatus&) {
    } catch (const walk_detail::NotAStandardFile&) {
    }
    return rowCount_;
}

// From a point inside a Standard MIDI File to its end.
template <typename Sink>
void BasicEventWalk<Sink>::relistInFile(const WalkPoint& point)
{
    if (point.event == 0) {
        walkChunks(point.chunk);
    } else {
        track_ = tracksBefore_ + 1;
        if (keepGoing_) {
            walkTrackKeepingOn(point.chunk, point.event, point.tickBefore);
        } else {
            walkTrack(point.chunk, point.event, point.tickBefore);
        }
        tracksBefore_ = track_;
        walkChunks(nextChunk(point.chunk));
    }
}

// The container's chunks up to the end of the file; its own length does not bound them.
template <typename Sink>
void BasicEventWalk<Sink>::walkContainer(std::uint64_t chunk)
{
    while (chunk <= file_.size() && file_.size() - chunk >= walk_detail::kChunkHeaderSize) {
        const auto start = static_cast<std::size_t>(chunk);
        addChunkRow(RowKind::RiffChunkTag, start, 4);
        addChunkRow(RowKind::RiffChunkLength, start + 4, 4);
        if (walk_detail::StartsWith(file_.subspan(start), kRiffDataTag)) {
            containerHasData_ = true;
            walkEmbeddedFile(start);
        }
        chunk = walk_detail::NextContainerChunk(file_, chunk);
    }
}

// The Standard MIDI File of a "data" chunk, listed as a whole file would be.
template <typename Sink>
void BasicEventWalk<Sink>::walkEmbeddedFile(std::size_t dataChunk)
{
    enterEmbeddedFile(dataChunk);
    // As a whole file: running status and the numbers of its tracks begin afresh.
    lastChannelStatus_ = 0;
    tracksBefore_ = 0;
    const std::size_t begin = dataChunk + walk_detail::kChunkHeaderSize;
    if (!walk_detail::StartsWith(file_.subspan(begin, end_ - begin), kHeaderTag)) {
        throw walk_detail::NotAStandardFile{};
    }
    walkChunks(listHeaderChunk(begin));
    leaveEmbeddedFile();
}

// The file of a "data" chunk ends with the chunk, or with the whole file before it.
template <typename Sink>
void BasicEventWalk<Sink>::enterEmbeddedFile(std::size_t dataChunk)
{
    const std::uint64_t begin = std::uint64_t{dataChunk} + walk_detail::kChunkHeaderSize;
    const std::uint64_t end = begin + LittleEndian(file_.subspan(dataChunk + 4, 4));
    dataChunk_ = static_cast<std::uint32_t>(dataChunk);
    end_ = static_cast<std::size_t>(std::min<std::uint64_t>(end, file_.size()));
}

template <typename Sink>
void BasicEventWalk<Sink>::leaveEmbeddedFile()
{
    dataChunk_ = 0;
    track_ = 0;
    end_ = file_.size();
}

template <typename Sink>
void BasicEventWalk<Sink>::walkChunks(std::uint64_t chunk, std::uint64_t until)
{
    while (chunk < until && chunk <= end_ && end_ - chunk >= walk_detail::kChunkHeaderSize) {
        chunk = walkChunk(chunk);
    }
}

// The chunk's two rows and, for a track, its events; gives where the next chunk begins.
template <typename Sink>
std::uint64_t BasicEventWalk<Sink>::walkChunk(std::uint64_t chunk)
{
    const auto start = static_cast<std::size_t>(chunk);
    const bool isTrack = walk_detail::StartsWith(file_.subspan(start), kTrackTag);
    track_ = isTrack ? tracksBefore_ + 1 : 0;
    addChunkRow(isTrack ? RowKind::TrackTag : RowKind::ChunkTag, start, 4);
    addChunkRow(isTrack ? RowKind::TrackLength : RowKind::ChunkLength, start + 4, 4);
    if (isTrack) {
        // Its events are taken up again with the count of the tracks before it.
        if (keepGoing_) {
            walkTrackKeepingOn(chunk, start + walk_detail::kChunkHeaderSize, 0);
        } else {
            walkTrack(chunk, start + walk_detail::kChunkHeaderSize, 0);
        }
        tracksBefore_ = track_;
    }
    return nextChunk(chunk);
}

// Right after the chunk's declared length, wherever its walk ended.
template <typename Sink>
std::uint64_t BasicEventWalk<Sink>::nextChunk(std::uint64_t chunk) const
{
    const auto lengthAt = static_cast<std::size_t>(chunk) + 4;
    return chunk + walk_detail::kChunkHeaderSize + BigEndian(file_.subspan(lengthAt, 4));
}

// A track's events end at its declared length, or at the end of the file before it.
template <typename Sink>
std::size_t BasicEventWalk<Sink>::trackEnd(std::uint64_t chunk) const
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(nextChunk(chunk), end_));
}

template <typename Sink>
[[gnu::always_inline]] inline void BasicEventWalk<Sink>::addRow(const Row& row,
                                                                const WalkPoint& before)
{
    if (rowCount_ == mostRows_) {
        throw walk_detail::TooManyRows{std::uint64_t{row.offset} + 1};
    }
    // A sink that runs out of memory ends the run where the walk is; the row is not counted.
    try {
        sink_.AddRow(row, static_cast<std::size_t>(rowCount_), before);
    } catch (const std::bad_alloc&) {
        throw RunFailure{FailureCode::OutOfMemory, std::uint64_t{row.offset} + 1};
    }
    ++rowCount_;
}

// Every event but a channel voice message, which walkTrack() reads itself.
template <typename Sink>
void BasicEventWalk<Sink>::readOtherEvent(TrackReader& reader, const EventStart& event,
                                          const WalkPoint& before)
{
    const std::uint8_t status = event.status;
    if (status == 0xF0) {
        addRow(ReadSystemExclusive(reader, event), before);
    } else if (status == 0xF7) {
        addRow(ReadSysExEscape(reader, event), before);
    } else if (status == 0xFF) {
        addRow(ReadMetaEvent(reader, event), before);
    } else if (IsSystemMessage(status)) {
        addRow(ReadSystemMessage(reader, event), before);
    } else {
        throw walk_detail::UnknownStatus{event.offset + 1, status};
    }
}

template <typename Sink>
void BasicEventWalk<Sink>::addChunkRow(RowKind kind, std::size_t offset, std::size_t length)
{
    Row row{};
    row.kind = kind;
    row.offset = static_cast<std::uint32_t>(offset);
    row.length = static_cast<std::uint32_t>(length);
    row.track = track_;
    // Only a chunk's tag is a place to take the walk up again, at the chunk's start.
    addRow(row, WalkPoint{offset, 0, 0, lastChannelStatus_, tracksBefore_, dataChunk_, keepGoing_});
}

// The event whose delta time began at deltaStart and has just been read.
template <typename Sink>
[[gnu::always_inline]] inline EventStart
BasicEventWalk<Sink>::startEvent(TrackReader& reader, std::uint64_t absTick,
                                 std::size_t deltaStart) const
{
    EventStart event;
    event.track = track_;
    event.absTick = absTick;
    event.offset = reader.position();
    event.deltaLength = static_cast<std::uint8_t>(event.offset - deltaStart);
    const std::uint8_t byte = reader.peekByte();
    event.running = byte < 0x80;
    // A selection by mask, not a branch: running status comes and goes unpredictably.
    const auto runningMask = static_cast<std::uint8_t>(event.running ? 0xFF : 0x00);
    event.status =
        static_cast<std::uint8_t>((lastChannelStatus_ & runningMask) | (byte & ~runningMask));
    return event;
}

template <typename Sink>
[[gnu::always_inline]] inline void BasicEventWalk<Sink>::readEvent(TrackReader& reader,
                                                                   const EventStart& event,
                                                                   const WalkPoint& before)
{
    if (event.status >= 0x80 && event.status < 0xF0) {
        addRow(ReadChannelVoice(reader, event, lastChannelStatus_), before);
    } else {
        readOtherEvent(reader, event, before);
    }
}

template <typename Sink>
void BasicEventWalk<Sink>::walkTrack(std::uint64_t chunk, std::size_t begin, std::uint64_t absTick)
{
    TrackReader reader(file_, begin, trackEnd(chunk));
    // This loop runs once per row: the channel voice messages, nearly every event of a file,
    // are read right here.
    while (reader.hasEventLeft()) {
        const WalkPoint before{static_cast<std::size_t>(chunk),
                               reader.position(),
                               absTick,
                               lastChannelStatus_,
                               tracksBefore_,
                               dataChunk_,
                               false};
        absTick += reader.readVariableLength();
        readEvent(reader, startEvent(reader, absTick, before.event), before);
    }
}

// The walk of a track that lists its problems as rows: an unknown status or a missing byte ends
// the track's walk, a number beyond a table or a tempo of 0 only its event.
template <typename Sink>
void BasicEventWalk<Sink>::walkTrackKeepingOn(std::uint64_t chunk, std::size_t begin,
                                              std::uint64_t absTick)
{
    TrackReader reader(file_, begin, trackEnd(chunk));
    while (reader.hasEventLeft()) {
        const WalkPoint before{static_cast<std::size_t>(chunk),
                               reader.position(),
                               absTick,
                               lastChannelStatus_,
                               tracksBefore_,
                               dataChunk_,
                               true};
        std::uint64_t tick = absTick;
        std::size_t deltaEnd = reader.end(); // where the delta time ended, once it is read
        EventStart event;
        bool started = false;
        try {
            tick += reader.readVariableLength();
            deltaEnd = reader.position();
            event = startEvent(reader, tick, before.event);
            started = true;
            readEvent(reader, event, before);
            absTick = tick;
        } catch (const RunFailure& failure) {
            if (failure.code != FailureCode::MissingByte &&
                failure.code != FailureCode::NotInTable && failure.code != FailureCode::ZeroTempo) {
                throw;
            }
            problems_.push_back(walk_detail::FailureOutcome(failure));
            if (failure.code == FailureCode::MissingByte) {
                // A channel status read before the byte that is missing stays the running status.
                if (started && !event.running && event.status >= 0x80 && event.status < 0xF0) {
                    lastChannelStatus_ = event.status;
                }
                addRow(walk_detail::TrackEndingProblemRow(ProblemCode::MissingByte, track_, tick,
                                                          before.event, deltaEnd, reader.end()),
                       before);
                return;
            }
            // The event is read whole; its status counts as if it had been read normally.
            if (!event.running && failure.code == FailureCode::NotInTable) {
                lastChannelStatus_ = event.status;
            }
            Row row = EventRow(event, RowKind::Problem, std::min(reader.position(), reader.end()));
            row.detail = static_cast<std::uint16_t>(failure.code);
            addRow(row, before);
            absTick = tick;
        } catch (const walk_detail::UnknownStatus& unknown) {
            problems_.push_back(walk_detail::UnknownStatusOutcome(unknown));
            Row row = walk_detail::TrackEndingProblemRow(ProblemCode::UnknownStatus, track_, tick,
                                                         before.event, deltaEnd, reader.end());
            row.status = unknown.status;
            addRow(row, before);
            return;
        }
    }
}

} // namespace tracklens
