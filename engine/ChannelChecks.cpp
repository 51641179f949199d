#include "engine/ChannelChecks.h"

#include <string>

#include "engine/ChannelVoice.h"
#include "engine/Conversions.h"

namespace tracklens {

namespace {

constexpr std::size_t kKeys = 128;

enum Controller : std::uint8_t {
    BankSelect = 0,
    DataEntry = 6,
    BankSelectLsb = 32,
    DataEntryLsb = 38,
    DataIncrement = 96,
    DataDecrement = 97,
    NrpnLsb = 98,
    NrpnMsb = 99,
    RpnLsb = 100,
    RpnMsb = 101,
};

std::string Number(std::uint64_t value)
{
    return DecimalText(value);
}

std::string ChannelText(std::uint8_t channel)
{
    return "channel " + Number(channel + 1u);
}

} // namespace

ChannelChecks::ChannelChecks(ByteSpan file, std::vector<Finding>& findings)
    : file_(file)
    , findings_(findings)
    , open_(16 * kKeys)
{
}

void ChannelChecks::check(const Row& row, const FindingPlace& place)
{
    using namespace channel_voice;
    const auto channel = static_cast<std::uint8_t>(row.status & 0x0F);
    const DataBytes data = DataOf(file_, row);
    const std::size_t slot = channel * kKeys + (data.d1 & 0x7Fu);
    switch (KindOf(row.status)) {
    case NoteOn:
        if (data.d2 != 0) {
            noteOn(slot, place);
            break;
        }
        noteOff(slot, channel, data.d1, place);
        break;
    case NoteOff:
        noteOff(slot, channel, data.d1, place);
        break;
    case ControlChange:
        control(channels_[channel], channel, data.d1, place);
        break;
    case ProgramChange:
        programChange(channels_[channel], channel, place);
        break;
    default:
        break;
    }
}

void ChannelChecks::noteOn(std::size_t slot, const FindingPlace& place)
{
    OpenNotes& notes = open_[slot];
    if (!notes.touched) {
        notes.touched = true;
        touched_.push_back(slot);
    }
    notes.places.push_back(place);
}

void ChannelChecks::noteOff(std::size_t slot, std::uint8_t channel, std::uint8_t key,
                            const FindingPlace& place)
{
    OpenNotes& notes = open_[slot];
    if (notes.first == notes.places.size()) {
        findings_.push_back({place, FindingCode::NoteOffWithoutOn,
                             "Note Off of key " + Number(key) + " on " + ChannelText(channel) +
                                 " with no Note On open"});
        return;
    }
    // The earliest open Note On is closed; the memory of those closed goes once none is open.
    if (++notes.first == notes.places.size()) {
        notes.places.clear();
        notes.first = 0;
    }
}

void ChannelChecks::select(ChannelState& state, Parameter parameter, bool msb)
{
    if (state.parameter != parameter) {
        state.parameter = parameter;
        state.parameterMsb = false;
        state.parameterLsb = false;
    }
    (msb ? state.parameterMsb : state.parameterLsb) = true;
}

void ChannelChecks::control(ChannelState& state, std::uint8_t channel, std::uint8_t controller,
                            const FindingPlace& place)
{
    switch (controller) {
    case BankSelect:
        state.bankMsb = true;
        break;
    case BankSelectLsb:
        state.bankLsb = true;
        break;
    case RpnMsb:
    case RpnLsb:
        select(state, Parameter::Registered, controller == RpnMsb);
        break;
    case NrpnMsb:
    case NrpnLsb:
        select(state, Parameter::NonRegistered, controller == NrpnMsb);
        break;
    case DataEntry:
    case DataEntryLsb:
    case DataIncrement:
    case DataDecrement:
        if (state.parameter == Parameter::None || !state.parameterMsb || !state.parameterLsb) {
            findings_.push_back({place, FindingCode::ParameterNotSelected,
                                 "Controller " + Number(controller) + " on " +
                                     ChannelText(channel) +
                                     " with no complete RPN or NRPN selected"});
        }
        break;
    default:
        break;
    }
}

void ChannelChecks::programChange(ChannelState& state, std::uint8_t channel,
                                  const FindingPlace& place)
{
    if (state.bankMsb != state.bankLsb) {
        findings_.push_back(
            {place, FindingCode::BankSelectIncomplete,
             "Program Change on " + ChannelText(channel) + " after Bank Select " +
                 (state.bankMsb ? "MSB (0) without LSB (32)" : "LSB (32) without MSB (0)")});
    }
    state.bankMsb = false;
    state.bankLsb = false;
}

void ChannelChecks::endTrack()
{
    for (const std::size_t slot : touched_) {
        OpenNotes& notes = open_[slot];
        for (std::size_t i = notes.first; i < notes.places.size(); ++i) {
            findings_.push_back({notes.places[i], FindingCode::NoteOnWithoutOff,
                                 "Note On of key " + Number(slot % kKeys) + " on " +
                                     ChannelText(static_cast<std::uint8_t>(slot / kKeys)) +
                                     " is never switched off in its track"});
        }
        notes.places.clear();
        notes.first = 0;
        notes.touched = false;
    }
    touched_.clear();
    channels_ = {};
}

} // namespace tracklens
