#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/Bytes.h"
#include "engine/Findings.h"
#include "engine/Row.h"

namespace tracklens {

// What an event row is for the checks: a number beyond a table is still its channel message and
// a tempo of 0 still its meta event; an unknown status or a missing byte is a Problem only.
constexpr RowKind CheckedKind(const Row& row)
{
    if (row.kind != RowKind::Problem) {
        return row.kind;
    }
    switch (static_cast<ProblemCode>(row.detail)) {
    case ProblemCode::NotInTable:
        return RowKind::ChannelVoice;
    case ProblemCode::ZeroTempo:
        return RowKind::Meta;
    default:
        return RowKind::Problem;
    }
}

// The checks of each event of a track by itself and against the event before it: the problems
// the walk listed, running status, lengths, meta values and SysEx endings.
class EventChecks {
public:
    EventChecks(ByteSpan file, std::vector<Finding>& findings)
        : file_(file)
        , findings_(findings)
    {
    }

    void setFormat(std::uint16_t format) { format_ = format; }
    void startTrack(std::uint32_t track);
    void check(const Row& row, const FindingPlace& place);
    void endTrack();

private:
    void checkProblem(const Row& row, const FindingPlace& place);
    void checkRunningStatus(const Row& row, RowKind kind, const FindingPlace& place);
    void checkLengths(const Row& row, RowKind kind, const FindingPlace& place);
    void checkMeta(const Row& row, const FindingPlace& place);
    void checkSysEx(const Row& row, RowKind kind, const FindingPlace& place);
    void add(const FindingPlace& place, FindingCode code, std::string message);

    ByteSpan file_;
    std::vector<Finding>& findings_;
    std::uint16_t format_ = 0;
    std::uint32_t track_ = 0;
    std::optional<RowKind> previous_;       // the track's event before this one
    std::optional<FindingPlace> openSysEx_; // an F0 without F7, unless an F7 event follows
};

} // namespace tracklens
