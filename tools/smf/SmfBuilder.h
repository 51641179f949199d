#pragma once

// Standard MIDI Files built from bytes: chunks, tracks, events and variable-length quantities.
// The generators of the sample files and the tests build every file they need with it.

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace tracklens::smf {

using Bytes = std::vector<std::uint8_t>;

// Bytes written as hexadecimal digits, blanks between them ignored: "00 FF2F00".
Bytes Hex(std::string_view digits);

Bytes Concat(std::initializer_list<Bytes> parts);

void AppendBigEndian(Bytes& out, std::uint32_t value, int byteCount);
// Seven bits a byte, the top bit set on all but the last; at most four bytes.
void AppendVariableLength(Bytes& out, std::uint32_t value);

inline const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// The fields of MThd; its length as declared, the six bytes of fields always written.
struct HeaderFields {
    std::uint16_t format = 1;
    std::uint16_t tracks = 1;
    std::uint16_t division = 0x60;
    std::uint32_t length = 6;
};

Bytes Header(const HeaderFields& fields = {});

// The tag, the length and the body; the length is the body's unless one is declared.
Bytes Chunk(std::string_view tag, const Bytes& body);
Bytes Chunk(std::string_view tag, std::uint32_t declaredLength, const Bytes& body);

// A header and one MTrk chunk per body.
Bytes Smf(std::uint16_t format, std::uint16_t division, std::initializer_list<Bytes> tracks);
// The same in format 1 with 96 ticks per quarter note.
Bytes Smf(std::initializer_list<Bytes> tracks);

// The events of one track, each written with its delta time.
class TrackWriter {
public:
    // Any bytes as they are, after the delta time.
    TrackWriter& event(std::uint32_t delta, const Bytes& bytes);
    // FF, the type, the length, the data.
    TrackWriter& meta(std::uint32_t delta, std::uint8_t type, const Bytes& data);
    TrackWriter& text(std::uint32_t delta, std::uint8_t type, std::string_view text);
    // F0, the length, then the body (which ends with F7).
    TrackWriter& sysex(std::uint32_t delta, const Bytes& body);
    // A channel message of one or two data bytes. Its status byte is left out when the message
    // written just before it was a channel() message of the same status (running status, as
    // a conservative writer uses it: any other event ends it).
    TrackWriter& channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1);
    TrackWriter& channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1,
                         std::uint8_t data2);
    TrackWriter& endOfTrack(std::uint32_t delta = 0) { return meta(delta, 0x2F, {}); }

    const Bytes& body() const { return body_; }
    std::size_t size() const { return body_.size(); }

private:
    void appendStatus(std::uint8_t status);

    Bytes body_;
    std::uint8_t runningStatus_ = 0;
};

} // namespace tracklens::smf
