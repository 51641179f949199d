#pragma once

#include <cstdint>
#include <string>

namespace tracklens {

// The failures a walk can end in, by their code.
enum class FailureCode : int {
    MissingByte = 5, // a byte needed beyond the end of the file, a chunk or an event
    OutOfRange = 6,  // a count or a file size beyond the range of its field
    OutOfMemory = 7, // the rows found do not fit in memory
    NotInTable = 9,  // a controller or program number of 128 or more
    ZeroTempo = 11,  // a Set Tempo of 0 microseconds, a division by zero
};

// Thrown inside the walk and turned into its outcome there; never leaves the engine.
struct RunFailure {
    FailureCode code;
    std::uint64_t position; // 1-based position in the file where the failure was met
};

// How a walk ended: every row listed, or the reason it could not go on.
struct RunOutcome {
    enum class Kind {
        Complete,
        NotMidi,       // no "MThd" where a Standard MIDI File must begin
        UnknownStatus, // a status byte with no decoder
        Failure,       // a failure with its code
    };

    Kind kind = Kind::Complete;
    std::uint64_t position = 0; // 1-based position in the file
    std::uint8_t status = 0;    // the unknown status
    FailureCode code = FailureCode::MissingByte;

    bool complete() const { return kind == Kind::Complete; }
    bool ranOutOfMemory() const
    {
        return kind == Kind::Failure && code == FailureCode::OutOfMemory;
    }
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
