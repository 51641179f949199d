#pragma once

#include <cstdint>
#include <string>

#include "engine/TrackReader.h"

namespace tracklens {

// How a walk ended: every row listed, or the reason it could not go on.
struct RunOutcome {
    enum class Kind {
        Complete,
        NotMidi,       // the file does not begin with "MThd"
        UnknownStatus, // a status byte with no decoder
        Failure,       // a failure with its code
    };

    Kind kind = Kind::Complete;
    std::uint64_t position = 0; // 1-based position in the file
    std::uint8_t status = 0;    // the unknown status
    FailureCode code = FailureCode::MissingByte;

    bool complete() const { return kind == Kind::Complete; }
};

enum class MessageIcon {
    Information,
    Exclamation,
    Critical
};

// The message box that reports an outcome other than Complete; lines are separated by CR LF.
struct OutcomeMessage {
    std::string text;
    MessageIcon icon;
};

OutcomeMessage MessageFor(const RunOutcome& outcome);

// Short description of a failure code, naming the kind of failure.
std::string FailureDescription(FailureCode code, std::uint64_t position);

} // namespace tracklens
