#include "engine/EventChecks.h"

#include <algorithm>
#include <string>

#include "engine/Conversions.h"
#include "engine/Vocabulary.h"

namespace tracklens {

namespace {

constexpr std::uint8_t kEndOfTrack = 0x2F;

// The first of a variable-length quantity's bytes, and its value, from bytes that hold it.
struct Quantity {
    std::uint32_t value = 0;
    std::size_t bytes = 0;
    bool longerThanNeeded = false; // written with a leading 0x80
};

Quantity ReadQuantity(ByteSpan bytes)
{
    Quantity quantity;
    quantity.longerThanNeeded = !bytes.empty() && bytes[0] == 0x80;
    for (const std::uint8_t byte : bytes.first(std::min<std::size_t>(bytes.size(), 4))) {
        quantity.value = quantity.value << 7 | (byte & 0x7Fu);
        ++quantity.bytes;
        if (byte < 0x80) {
            break;
        }
    }
    return quantity;
}

// The length each meta type must have, or -1 for any.
int MetaLengthOf(std::uint8_t type)
{
    switch (type) {
    case 0x00:
    case 0x59:
        return 2;
    case 0x20:
    case 0x21:
        return 1;
    case kEndOfTrack:
        return 0;
    case 0x51:
        return 3;
    case 0x54:
        return 5;
    case 0x58:
        return 4;
    default:
        return -1;
    }
}

bool IsTextMeta(std::uint8_t type)
{
    return type >= 0x01 && type <= 0x09;
}

bool HasMetaName(std::uint8_t type)
{
    return IsTextMeta(type) ||
           std::any_of(kMetaSignatures.begin(), kMetaSignatures.end(),
                       [type](const MetaSignature& s) { return s.type == type; });
}

bool IsTimingMeta(std::uint8_t type)
{
    return type == 0x51 || type == 0x54 || type == 0x58 || type == 0x59;
}

std::string Hex(std::uint8_t byte)
{
    return HexByte(byte);
}

std::string Number(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace

void EventChecks::add(const FindingPlace& place, FindingCode code, std::string message)
{
    findings_.push_back({place, code, std::move(message)});
}

void EventChecks::startTrack(std::uint32_t track)
{
    track_ = track;
    previous_.reset();
    openSysEx_.reset();
}

void EventChecks::endTrack()
{
    if (openSysEx_) {
        add(*openSysEx_, FindingCode::SysexUnterminated,
            "SysEx event does not end in F7 and no F7 event follows it");
        openSysEx_.reset();
    }
}

void EventChecks::check(const Row& row, const FindingPlace& place)
{
    const RowKind kind = CheckedKind(row);
    if (openSysEx_ && kind != RowKind::SysExEscape) {
        add(*openSysEx_, FindingCode::SysexUnterminated,
            "SysEx event does not end in F7 and no F7 event follows it");
    }
    openSysEx_.reset();
    if (row.kind == RowKind::Problem) {
        checkProblem(row, place);
    }
    if (kind == RowKind::Problem) {
        // A delta time read whole is checked even here.
        const bool deltaWhole = row.deltaLength == 4 || file_[row.offset - 1] < 0x80;
        if (deltaWhole && row.deltaLength > 1 && file_[row.offset - row.deltaLength] == 0x80) {
            add(place, FindingCode::LongVlq, "Delta time written with a leading 80 byte");
        }
        previous_ = kind;
        return;
    }
    checkRunningStatus(row, kind, place);
    checkLengths(row, kind, place);
    if (kind == RowKind::Meta) {
        checkMeta(row, place);
    }
    checkSysEx(row, kind, place);
    previous_ = kind;
}

void EventChecks::checkProblem(const Row& row, const FindingPlace& place)
{
    switch (static_cast<ProblemCode>(row.detail)) {
    case ProblemCode::UnknownStatus:
        add(place, FindingCode::UnknownStatus,
            row.status < 0x80 ? "Data byte " + Hex(row.status) + " with no running status to use"
                              : "Status byte " + Hex(row.status) + " is not known");
        break;
    case ProblemCode::MissingByte:
        add(place, FindingCode::MissingByte,
            "Event needs a byte past the end of track " + Number(track_));
        break;
    case ProblemCode::NotInTable:
        add(place, FindingCode::ValueOutOfRange,
            std::string((row.status >> 4) == 0xB ? "Controller" : "Program") + " number " +
                Number(file_[row.offset + (row.running ? 0u : 1u)]) + " is above 127");
        break;
    case ProblemCode::ZeroTempo:
        add(place, FindingCode::TempoZero, "Set Tempo of 0 microseconds per quarter note");
        break;
    }
}

void EventChecks::checkRunningStatus(const Row& row, RowKind kind, const FindingPlace& place)
{
    if (kind != RowKind::ChannelVoice) {
        return;
    }
    const std::size_t dataStart = row.offset + (row.running ? 0u : 1u);
    const std::size_t dataEnd = std::uint64_t{row.offset} + row.length;
    for (std::size_t at = dataStart; at < dataEnd; ++at) {
        if (file_[at] >= 0x80) {
            add(place, FindingCode::DataByteHigh,
                "Data byte " + Hex(file_[at]) + " of status " + Hex(row.status) +
                    " is 0x80 or more");
            break;
        }
    }
    if (!row.running) {
        return;
    }
    if (!previous_) {
        add(place, FindingCode::RunningStatusAtTrackStart,
            "Track " + Number(track_) + " begins in running status " + Hex(row.status));
    } else if (*previous_ == RowKind::Meta || *previous_ == RowKind::SystemExclusive ||
               *previous_ == RowKind::SysExEscape || *previous_ == RowKind::SystemMessage) {
        add(place, FindingCode::InterruptedRunningStatus,
            "Running status " + Hex(row.status) +
                " used right after a meta, SysEx or system message");
    }
}

void EventChecks::checkLengths(const Row& row, RowKind kind, const FindingPlace& place)
{
    const bool longDelta = row.deltaLength > 1 && file_[row.offset - row.deltaLength] == 0x80;
    const ByteSpan event = file_.subspan(row.offset, row.length);
    bool longLength = false;
    if (kind == RowKind::Meta && event.size() > 2) {
        longLength = event[2] == 0x80;
    } else if ((kind == RowKind::SystemExclusive || kind == RowKind::SysExEscape) &&
               event.size() > 1) {
        longLength = event[1] == 0x80;
    }
    if (longDelta || longLength) {
        add(place, FindingCode::LongVlq,
            std::string(longDelta ? "Delta time" : "Length") +
                " written with a leading 80 byte, longer than needed");
    }
}

void EventChecks::checkMeta(const Row& row, const FindingPlace& place)
{
    const ByteSpan event = file_.subspan(row.offset, row.length);
    const std::uint8_t type = event[1];
    const Quantity length = ReadQuantity(event.subspan(2));
    const ByteSpan data = event.subspan(std::min(event.size(), 2 + length.bytes));
    const int needed = MetaLengthOf(type);
    if (needed >= 0 && length.value != static_cast<std::uint32_t>(needed)) {
        add(place, FindingCode::MetaLength,
            "Meta event " + Hex(type) + " has length " + Number(length.value) +
                "; its type needs " + Number(needed));
    }
    if (type == 0x59 && data.size() >= 2) {
        const auto sharps = static_cast<std::int8_t>(data[0]);
        if (sharps < -7 || sharps > 7 || data[1] > 1) {
            add(place, FindingCode::KeySignatureValue,
                "Key signature of " + Number(sharps) + " sharps/flats and mode " + Number(data[1]) +
                    " is outside -7 to 7 and 0 to 1");
        }
    }
    if (type == 0x58 && data.size() >= 2 && (data[0] == 0 || data[1] > 7)) {
        add(place, FindingCode::TimeSignatureValue,
            "Time signature with numerator " + Number(data[0]) + " and denominator exponent " +
                Number(data[1]));
    }
    if (format_ == 1 && track_ > 1 && IsTimingMeta(type)) {
        add(place, FindingCode::TimingOutsideFirstTrack,
            "Meta event " + Hex(type) + " in track " + Number(track_) +
                " of a format 1 file; timing belongs in the first track");
    }
    if (!HasMetaName(type)) {
        add(place, FindingCode::UnknownMeta, "Meta type " + Hex(type) + " has no name");
    }
    if (IsTextMeta(type) && length.value == 0) {
        add(place, FindingCode::EmptyText, "Text meta event " + Hex(type) + " is empty");
    }
}

void EventChecks::checkSysEx(const Row& row, RowKind kind, const FindingPlace& place)
{
    if (kind != RowKind::SystemExclusive) {
        return;
    }
    const ByteSpan event = file_.subspan(row.offset, row.length);
    const Quantity length = ReadQuantity(event.subspan(1));
    const bool endsInF7 =
        length.value > 0 && event.size() > 1 + length.bytes && event.back() == 0xF7;
    if (!endsInF7) {
        openSysEx_ = place;
    }
}

} // namespace tracklens
