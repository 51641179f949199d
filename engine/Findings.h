#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tracklens {

// What the checks of a file can find, in the order in which findings at one offset are listed.
enum class FindingCode : std::uint8_t {
    NotMidi,
    HeaderShort,
    HeaderLength,
    FormatUnknown,
    Format0Tracks,
    TrackCount,
    DivisionZero,
    UnknownChunk,
    ChunkPastEnd,
    TrailingBytes,
    MissingEndOfTrack,
    DataAfterEndOfTrack,
    UnknownStatus,
    MissingByte,
    ValueOutOfRange,
    TempoZero,
    DataByteHigh,
    InterruptedRunningStatus,
    RunningStatusAtTrackStart,
    LongVlq,
    MetaLength,
    KeySignatureValue,
    TimeSignatureValue,
    TimingOutsideFirstTrack,
    SysexUnterminated,
    NoteOnWithoutOff,
    NoteOffWithoutOn,
    ParameterNotSelected,
    BankSelectIncomplete,
    UnknownMeta,
    EmptyText,
};

enum class Severity : std::uint8_t {
    Error,
    Warning,
    Info,
};

struct FindingKind {
    FindingCode code;
    std::string_view name;
    Severity severity;
};

// One line per code, in the enum's order.
inline constexpr std::array<FindingKind, 31> kFindingKinds = {{
    {FindingCode::NotMidi, "not-midi", Severity::Error},
    {FindingCode::HeaderShort, "header-short", Severity::Error},
    {FindingCode::HeaderLength, "header-length", Severity::Warning},
    {FindingCode::FormatUnknown, "format-unknown", Severity::Error},
    {FindingCode::Format0Tracks, "format-0-tracks", Severity::Warning},
    {FindingCode::TrackCount, "track-count", Severity::Warning},
    {FindingCode::DivisionZero, "division-zero", Severity::Error},
    {FindingCode::UnknownChunk, "unknown-chunk", Severity::Info},
    {FindingCode::ChunkPastEnd, "chunk-past-end", Severity::Error},
    {FindingCode::TrailingBytes, "trailing-bytes", Severity::Warning},
    {FindingCode::MissingEndOfTrack, "missing-end-of-track", Severity::Error},
    {FindingCode::DataAfterEndOfTrack, "data-after-end-of-track", Severity::Warning},
    {FindingCode::UnknownStatus, "unknown-status", Severity::Error},
    {FindingCode::MissingByte, "missing-byte", Severity::Error},
    {FindingCode::ValueOutOfRange, "value-out-of-range", Severity::Error},
    {FindingCode::TempoZero, "tempo-zero", Severity::Error},
    {FindingCode::DataByteHigh, "data-byte-high", Severity::Error},
    {FindingCode::InterruptedRunningStatus, "interrupted-running-status", Severity::Warning},
    {FindingCode::RunningStatusAtTrackStart, "running-status-at-track-start", Severity::Warning},
    {FindingCode::LongVlq, "long-vlq", Severity::Warning},
    {FindingCode::MetaLength, "meta-length", Severity::Warning},
    {FindingCode::KeySignatureValue, "key-signature-value", Severity::Warning},
    {FindingCode::TimeSignatureValue, "time-signature-value", Severity::Warning},
    {FindingCode::TimingOutsideFirstTrack, "timing-outside-first-track", Severity::Warning},
    {FindingCode::SysexUnterminated, "sysex-unterminated", Severity::Warning},
    {FindingCode::NoteOnWithoutOff, "note-on-without-off", Severity::Warning},
    {FindingCode::NoteOffWithoutOn, "note-off-without-on", Severity::Info},
    {FindingCode::ParameterNotSelected, "parameter-not-selected", Severity::Warning},
    {FindingCode::BankSelectIncomplete, "bank-select-incomplete", Severity::Info},
    {FindingCode::UnknownMeta, "unknown-meta", Severity::Info},
    {FindingCode::EmptyText, "empty-text", Severity::Info},
}};

constexpr bool KindsInCodeOrder()
{
    for (std::size_t i = 0; i < kFindingKinds.size(); ++i) {
        if (static_cast<std::size_t>(kFindingKinds[i].code) != i) {
            return false;
        }
    }
    return true;
}
static_assert(KindsInCodeOrder(), "kFindingKinds lists every code once, in the enum's order");

constexpr const FindingKind& KindOf(FindingCode code)
{
    return kFindingKinds[static_cast<std::size_t>(code)];
}

constexpr std::string_view SeverityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Info:
        return "info";
    }
    return "error";
}

// Where a finding stands: the offset of the row it is about (for an event, the first byte of its
// delta time), the 1-based number of its MTrk chunk (0 outside one) and its tick, if it has one.
struct FindingPlace {
    std::uint64_t offset = 0;
    std::uint32_t track = 0;
    std::optional<std::uint64_t> tick;
};

struct Finding {
    FindingPlace place;
    FindingCode code;
    std::string message; // one English sentence naming the values involved

    Severity severity() const { return KindOf(code).severity; }
};

} // namespace tracklens
