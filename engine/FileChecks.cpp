#include "engine/FileChecks.h"

#include <algorithm>
#include <string>

#include "engine/Conversions.h"
#include "engine/EventWalkSteps.h"
#include "engine/Windows1252.h"

namespace tracklens {

template class BasicEventWalk<FileChecks>;

namespace {

constexpr std::uint32_t kHeaderFieldsLength = 6;

std::uint32_t FieldOf(ByteSpan file, const Row& row)
{
    return BigEndian(file.subspan(row.offset, row.length));
}

std::string Number(std::uint64_t value)
{
    return DecimalText(value);
}

// A chunk's tag as the listing shows it: its bytes read as Windows-1252, written as UTF-8.
std::string TagText(ByteSpan tag)
{
    return WrittenText(kLongestWindows1252 * tag.size(),
                       [tag](TextCursor& out) { AppendWindows1252(out, tag); });
}

} // namespace

FileChecks::FileChecks(ByteSpan file)
    : file_(file)
    , events_(file, findings_)
    , channels_(file, findings_)
{
}

void FileChecks::add(const FindingPlace& place, FindingCode code, std::string message)
{
    findings_.push_back({place, code, std::move(message)});
}

void FileChecks::AddRow(const Row& row, std::size_t, const WalkPoint&)
{
    switch (row.kind) {
    case RowKind::HeaderTag:
        break;
    case RowKind::HeaderLength:
    case RowKind::HeaderFormat:
    case RowKind::HeaderTracks:
    case RowKind::HeaderDivision:
        checkHeaderRow(row);
        break;
    case RowKind::TrackTag:
    case RowKind::ChunkTag:
        startChunk(row);
        break;
    case RowKind::TrackLength:
    case RowKind::ChunkLength:
        checkChunkLength(row);
        break;
    default:
        checkEvent(row);
        break;
    }
}

void FileChecks::checkHeaderRow(const Row& row)
{
    const std::uint32_t value = FieldOf(file_, row);
    const FindingPlace place{row.offset, 0, std::nullopt};
    switch (row.kind) {
    case RowKind::HeaderLength:
        if (value > kHeaderFieldsLength) {
            add(place, FindingCode::HeaderLength,
                "Header length is " + Number(value) + "; the header's fields take 6 bytes");
        }
        nextChunk_ = 8 + std::uint64_t{value};
        if (nextChunk_ > file_.size()) {
            add(place, FindingCode::ChunkPastEnd,
                "Header chunk of " + Number(value) + " bytes runs past the end of the file (" +
                    Number(file_.size()) + " bytes)");
        }
        break;
    case RowKind::HeaderFormat:
        format_ = static_cast<std::uint16_t>(value);
        events_.setFormat(format_);
        if (value > 2) {
            add(place, FindingCode::FormatUnknown,
                "Format " + Number(value) + " is none of 0, 1 and 2");
        }
        break;
    case RowKind::HeaderTracks:
        declaredTracks_ = static_cast<std::uint16_t>(value);
        break;
    default:
        if ((value & 0x8000u) != 0 && (value & 0xFFu) == 0) {
            add(place, FindingCode::DivisionZero, "SMPTE division with 0 ticks per frame");
        } else if (value == 0) {
            add(place, FindingCode::DivisionZero, "Division of 0 ticks per quarter note");
        }
        break;
    }
}

void FileChecks::startChunk(const Row& row)
{
    endChunk();
    inTrack_ = row.kind == RowKind::TrackTag;
    if (!inTrack_) {
        add({row.offset, 0, std::nullopt}, FindingCode::UnknownChunk,
            "Chunk \"" + TagText(file_.subspan(row.offset, 4)) +
                "\" is not an MTrk chunk and is skipped");
        return;
    }
    ++tracks_;
    trackTag_ = row.offset;
    endOfTrack_ = false;
    dataAfterEnd_ = false;
    events_.startTrack(tracks_);
}

void FileChecks::checkChunkLength(const Row& row)
{
    const std::uint32_t length = FieldOf(file_, row);
    const std::uint64_t end = std::uint64_t{row.offset} + 4 + length;
    nextChunk_ = end;
    bodyEnd_ = std::min<std::uint64_t>(end, file_.size());
    if (end > file_.size()) {
        add({row.offset, inTrack_ ? tracks_ : 0, std::nullopt}, FindingCode::ChunkPastEnd,
            "Chunk of " + Number(length) + " bytes runs past the end of the file by " +
                Number(end - file_.size()) + " bytes");
    }
}

void FileChecks::checkEvent(const Row& row)
{
    const FindingPlace place{RowOffset(row), row.track, row.absTick};
    if (endOfTrack_ && !dataAfterEnd_) {
        dataAfterEnd_ = true;
        add(place, FindingCode::DataAfterEndOfTrack,
            "Track " + Number(tracks_) + " goes on after its End of Track");
    }
    if (row.kind == RowKind::Meta && file_[row.offset + 1] == 0x2F && !endOfTrack_) {
        endOfTrack_ = true;
        endOfTrackEnd_ = std::uint64_t{row.offset} + row.length;
    }
    events_.check(row, place);
    if (CheckedKind(row) == RowKind::ChannelVoice) {
        channels_.check(row, place);
    }
}

void FileChecks::endChunk()
{
    if (!inTrack_) {
        return;
    }
    inTrack_ = false;
    events_.endTrack();
    channels_.endTrack();
    if (!endOfTrack_) {
        add({trackTag_, tracks_, std::nullopt}, FindingCode::MissingEndOfTrack,
            "Track " + Number(tracks_) + " has no End of Track");
    } else if (!dataAfterEnd_ && endOfTrackEnd_ < bodyEnd_) {
        add({endOfTrackEnd_, tracks_, std::nullopt}, FindingCode::DataAfterEndOfTrack,
            "Track " + Number(tracks_) + " has " + Number(bodyEnd_ - endOfTrackEnd_) +
                " bytes after its End of Track");
    }
}

std::vector<Finding> FileChecks::finish(const RunOutcome& outcome)
{
    endChunk();
    if (outcome.kind == RunOutcome::Kind::NotMidi) {
        add({0, 0, std::nullopt}, FindingCode::NotMidi, "The file does not begin with \"MThd\"");
    } else if (outcome.kind == RunOutcome::Kind::Failure &&
               outcome.code == FailureCode::MissingByte) {
        // Only the header can end a walk that keeps going with a missing byte: too short, or a
        // length that leaves out its fields.
        const bool tiny = file_.size() < 8;
        add({tiny ? 0u : 4u, 0, std::nullopt}, FindingCode::HeaderShort,
            file_.size() < 14 ? "The file has " + Number(file_.size()) +
                                    " bytes, fewer than the 14 of a header chunk"
                              : "Header length is " + Number(BigEndian(file_.subspan(4, 4))) +
                                    "; the header's fields take 6 bytes");
    } else if (outcome.complete()) {
        if (format_ == 0 && tracks_ != 1) {
            add({8, 0, std::nullopt}, FindingCode::Format0Tracks,
                "Format 0 with " + Number(tracks_) + " MTrk chunks instead of one");
        }
        if (declaredTracks_ != tracks_) {
            add({10, 0, std::nullopt}, FindingCode::TrackCount,
                "Header says " + Number(declaredTracks_) + " tracks; the file has " +
                    Number(tracks_) + " MTrk chunks");
        }
        if (nextChunk_ < file_.size()) {
            add({nextChunk_, 0, std::nullopt}, FindingCode::TrailingBytes,
                Number(file_.size() - nextChunk_) + " bytes after the last chunk");
        }
    }
    std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
        return a.place.offset != b.place.offset ? a.place.offset < b.place.offset : a.code < b.code;
    });
    return std::move(findings_);
}

CheckResult CheckFile(ByteSpan file)
{
    FileChecks checks(file);
    const RunOutcome outcome = WalkFile(file, checks, WalkMode::KeepGoing);
    CheckResult result;
    result.findings = checks.finish(outcome);
    // What the checks report as findings is no outcome of its own.
    const bool header =
        outcome.kind == RunOutcome::Kind::NotMidi ||
        (outcome.kind == RunOutcome::Kind::Failure && outcome.code == FailureCode::MissingByte);
    if (!header) {
        result.outcome = outcome;
    }
    return result;
}

} // namespace tracklens
