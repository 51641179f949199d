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

// An event this walk cannot decode: the walk stops at it.
struct UnknownStatus {
    std::uint64_t position;
    std::uint8_t status;
};

// One row more than the walk may list: the row's position in the file.
struct TooManyRows {
    std::uint64_t position;
};

inline std::uint32_t ReadBigEndian32(ByteSpan bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

inline bool StartsWith(ByteSpan bytes, std::span<const std::uint8_t, 4> tag)
{
    return bytes.size() >= tag.size() && std::equal(tag.begin(), tag.end(), bytes.begin());
}

inline RunOutcome FailureOutcome(const RunFailure& failure)
{
    RunOutcome outcome;
    outcome.kind = RunOutcome::Kind::Failure;
    outcome.code = failure.code;
    outcome.position = failure.position;
    return outcome;
}

} // namespace walk_detail

template <typename Sink>
RunOutcome BasicEventWalk<Sink>::readHeader()
{
    if (!walk_detail::StartsWith(file_, kHeaderTag)) {
        return {RunOutcome::Kind::NotMidi};
    }
    if (file_.size() > kLargestFileSize) {
        return walk_detail::FailureOutcome({FailureCode::OutOfRange, kLargestFileSize + 1});
    }
    if (file_.size() < walk_detail::kHeaderChunkSize) {
        return walk_detail::FailureOutcome({FailureCode::MissingByte, file_.size() + 1});
    }
    const std::uint32_t headerLength = walk_detail::ReadBigEndian32(file_.subspan(4, 4));
    if (headerLength < walk_detail::kSmallestHeaderLength) {
        return walk_detail::FailureOutcome(
            {FailureCode::MissingByte, 9 + std::uint64_t{headerLength}});
    }
    try {
        addChunkRow(RowKind::HeaderTag, 0, 4);
        addChunkRow(RowKind::HeaderLength, 4, 4);
        addChunkRow(RowKind::HeaderFormat, 8, 2);
        addChunkRow(RowKind::HeaderTracks, 10, 2);
        addChunkRow(RowKind::HeaderDivision, 12, 2);
    } catch (const RunFailure& failure) {
        return walk_detail::FailureOutcome(failure);
    }
    firstChunk_ = walk_detail::kChunkHeaderSize + std::uint64_t{headerLength};
    return {};
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
    try {
        walkChunks(firstChunk_);
    } catch (const walk_detail::TooManyRows& tooMany) {
        return walk_detail::FailureOutcome({FailureCode::OutOfRange, tooMany.position});
    } catch (const RunFailure& failure) {
        return walk_detail::FailureOutcome(failure);
    } catch (const walk_detail::UnknownStatus& unknown) {
        RunOutcome outcome;
        outcome.kind = RunOutcome::Kind::UnknownStatus;
        outcome.position = unknown.position;
        outcome.status = unknown.status;
        return outcome;
    } catch (const std::bad_alloc&) {
        return walk_detail::FailureOutcome({FailureCode::OutOfMemory, 0});
    }
    return {};
}

template <typename Sink>
std::int32_t BasicEventWalk<Sink>::relist(const WalkPoint& point, std::int32_t rows)
{
    rowCount_ = 0;
    mostRows_ = rows;
    lastChannelStatus_ = point.lastChannelStatus;
    tracksBefore_ = point.tracksBefore;
    try {
        if (point.event == 0) {
            walkChunks(point.chunk);
        } else {
            track_ = tracksBefore_ + 1;
            walkTrack(point.chunk, point.event, point.tickBefore);
            tracksBefore_ = track_;
            walkChunks(nextChunk(point.chunk));
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
    }
    return rowCount_;
}

template <typename Sink>
void BasicEventWalk<Sink>::walkChunks(std::uint64_t chunk)
{
    while (chunk <= file_.size() && file_.size() - chunk >= walk_detail::kChunkHeaderSize) {
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
        walkTrack(chunk, start + walk_detail::kChunkHeaderSize, 0);
        tracksBefore_ = track_;
    }
    return nextChunk(chunk);
}

// Right after the chunk's declared length, wherever its walk ended.
template <typename Sink>
std::uint64_t BasicEventWalk<Sink>::nextChunk(std::uint64_t chunk) const
{
    const auto lengthAt = static_cast<std::size_t>(chunk) + 4;
    return chunk + walk_detail::kChunkHeaderSize +
           walk_detail::ReadBigEndian32(file_.subspan(lengthAt, 4));
}

// A track's events end at its declared length, or at the end of the file before it.
template <typename Sink>
std::size_t BasicEventWalk<Sink>::trackEnd(std::uint64_t chunk) const
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(nextChunk(chunk), file_.size()));
}

template <typename Sink>
[[gnu::always_inline]] inline void BasicEventWalk<Sink>::addRow(Row row, const WalkPoint& before)
{
    row.track = track_;
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
    // Only a chunk's tag is a place to take the walk up again, at the chunk's start.
    addRow(row, WalkPoint{offset, 0, 0, lastChannelStatus_, tracksBefore_});
}

template <typename Sink>
void BasicEventWalk<Sink>::walkTrack(std::uint64_t chunk, std::size_t begin, std::uint64_t absTick)
{
    TrackReader reader(file_, begin, trackEnd(chunk));
    // This loop runs once per row: the channel voice messages, nearly every event of a file,
    // are read right here.
    while (reader.hasEventLeft()) {
        const WalkPoint before{static_cast<std::size_t>(chunk), reader.position(), absTick,
                               lastChannelStatus_, tracksBefore_};
        const std::size_t deltaStart = before.event;
        absTick += reader.readVariableLength();

        EventStart event;
        event.absTick = absTick;
        event.offset = reader.position();
        event.deltaLength = static_cast<std::uint8_t>(event.offset - deltaStart);
        const std::uint8_t byte = reader.peekByte();
        event.running = byte < 0x80;
        // A selection by mask, not a branch: running status comes and goes unpredictably.
        const auto runningMask = static_cast<std::uint8_t>(event.running ? 0xFF : 0x00);
        event.status =
            static_cast<std::uint8_t>((lastChannelStatus_ & runningMask) | (byte & ~runningMask));

        if (event.status >= 0x80 && event.status < 0xF0) {
            addRow(ReadChannelVoice(reader, event, lastChannelStatus_), before);
        } else {
            readOtherEvent(reader, event, before);
        }
    }
}

} // namespace tracklens
