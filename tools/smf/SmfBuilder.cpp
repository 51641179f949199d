#include "tools/smf/SmfBuilder.h"

namespace tracklens::smf {

Bytes Hex(std::string_view digits)
{
    Bytes bytes;
    int high = -1;
    for (const char c : digits) {
        if (c == ' ') {
            continue;
        }
        const int value = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

void AppendBigEndian(Bytes& out, std::uint32_t value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendVariableLength(Bytes& out, std::uint32_t value)
{
    std::uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0 && count < 4);
    for (int i = count - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(groups[i] | (i != 0 ? 0x80 : 0x00)));
    }
}

Bytes Header(const HeaderFields& fields)
{
    Bytes header = {'M', 'T', 'h', 'd'};
    AppendBigEndian(header, fields.length, 4);
    AppendBigEndian(header, fields.format, 2);
    AppendBigEndian(header, fields.tracks, 2);
    AppendBigEndian(header, fields.division, 2);
    return header;
}

Bytes Chunk(std::string_view tag, std::uint32_t declaredLength, const Bytes& body)
{
    Bytes chunk(tag.begin(), tag.end());
    AppendBigEndian(chunk, declaredLength, 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Bytes Chunk(std::string_view tag, const Bytes& body)
{
    return Chunk(tag, static_cast<std::uint32_t>(body.size()), body);
}

Bytes Smf(std::uint16_t format, std::uint16_t division, std::initializer_list<Bytes> tracks)
{
    Bytes file = Header({format, static_cast<std::uint16_t>(tracks.size()), division});
    for (const Bytes& body : tracks) {
        const Bytes chunk = Chunk("MTrk", body);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

Bytes Smf(std::initializer_list<Bytes> tracks)
{
    return Smf(1, 0x60, tracks);
}

TrackWriter& TrackWriter::event(std::uint32_t delta, const Bytes& bytes)
{
    AppendVariableLength(body_, delta);
    body_.insert(body_.end(), bytes.begin(), bytes.end());
    runningStatus_ = 0;
    return *this;
}

TrackWriter& TrackWriter::meta(std::uint32_t delta, std::uint8_t type, const Bytes& data)
{
    Bytes event = {0xFF, type};
    AppendVariableLength(event, static_cast<std::uint32_t>(data.size()));
    event.insert(event.end(), data.begin(), data.end());
    return this->event(delta, event);
}

TrackWriter& TrackWriter::text(std::uint32_t delta, std::uint8_t type, std::string_view text)
{
    return meta(delta, type, Bytes(text.begin(), text.end()));
}

TrackWriter& TrackWriter::sysex(std::uint32_t delta, const Bytes& body)
{
    Bytes event = {0xF0};
    AppendVariableLength(event, static_cast<std::uint32_t>(body.size()));
    event.insert(event.end(), body.begin(), body.end());
    return this->event(delta, event);
}

TrackWriter& TrackWriter::channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1)
{
    AppendVariableLength(body_, delta);
    appendStatus(status);
    body_.push_back(data1);
    return *this;
}

TrackWriter& TrackWriter::channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1,
                                  std::uint8_t data2)
{
    channel(delta, status, data1);
    body_.push_back(data2);
    return *this;
}

void TrackWriter::appendStatus(std::uint8_t status)
{
    if (status != runningStatus_) {
        body_.push_back(status);
        runningStatus_ = status;
    }
}

} // namespace tracklens::smf
