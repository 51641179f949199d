#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Bytes.h"
#include "engine/Findings.h"
#include "engine/Row.h"

namespace tracklens {

// The checks that follow each channel through a track: notes switched on and off, parameter
// selections before Data Entry, and both halves of a bank selection before a Program Change.
class ChannelChecks {
public:
    ChannelChecks(ByteSpan file, std::vector<Finding>& findings);

    // A channel message of the track, or the row of a number beyond a table that stands for one.
    void check(const Row& row, const FindingPlace& place);
    // Reports the notes still open; every selection starts again with the next track.
    void endTrack();

private:
    // The Note Ons of one channel and key not yet switched off, earliest first.
    struct OpenNotes {
        std::vector<FindingPlace> places;
        std::size_t first = 0;
        bool touched = false; // listed in touched_
    };
    enum class Parameter : std::uint8_t {
        None,
        Registered,
        NonRegistered,
    };
    struct ChannelState {
        Parameter parameter = Parameter::None;
        bool parameterMsb = false;
        bool parameterLsb = false;
        bool bankMsb = false;
        bool bankLsb = false;
    };

    void noteOn(std::size_t slot, const FindingPlace& place);
    void noteOff(std::size_t slot, std::uint8_t channel, std::uint8_t key,
                 const FindingPlace& place);
    void control(ChannelState& state, std::uint8_t channel, std::uint8_t controller,
                 const FindingPlace& place);
    void programChange(ChannelState& state, std::uint8_t channel, const FindingPlace& place);
    void select(ChannelState& state, Parameter parameter, bool msb);

    ByteSpan file_;
    std::vector<Finding>& findings_;
    std::vector<OpenNotes> open_;      // by channel * 128 + key
    std::vector<std::size_t> touched_; // the slots of open_ used in this track
    std::array<ChannelState, 16> channels_{};
};

} // namespace tracklens
