#pragma once

// A small writer of Standard MIDI Files, for the project's own sample files.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace tracklens::tools {

using Bytes = std::vector<std::uint8_t>;

inline void AppendVariableLength(Bytes& out, std::uint32_t value)
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

inline void AppendBigEndian(Bytes& out, std::uint32_t value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

// The events of one track, each written with its delta time. Channel messages may leave out
// their status byte (running status); the writer does not check that they may.
class TrackWriter {
public:
    TrackWriter& event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes)
    {
        AppendVariableLength(body_, delta);
        body_.insert(body_.end(), bytes);
        runningStatus_ = 0;
        return *this;
    }

    TrackWriter& meta(std::uint32_t delta, std::uint8_t type,
                      std::initializer_list<std::uint8_t> data)
    {
        return meta(delta, type, Bytes(data));
    }

    TrackWriter& meta(std::uint32_t delta, std::uint8_t type, const Bytes& data)
    {
        AppendVariableLength(body_, delta);
        body_.push_back(0xFF);
        body_.push_back(type);
        AppendVariableLength(body_, static_cast<std::uint32_t>(data.size()));
        body_.insert(body_.end(), data.begin(), data.end());
        runningStatus_ = 0;
        return *this;
    }

    TrackWriter& text(std::uint32_t delta, std::uint8_t type, std::string_view text)
    {
        return meta(delta, type, Bytes(text.begin(), text.end()));
    }

    // F0, the length, then the body (which ends with F7).
    TrackWriter& sysex(std::uint32_t delta, std::initializer_list<std::uint8_t> body)
    {
        AppendVariableLength(body_, delta);
        body_.push_back(0xF0);
        AppendVariableLength(body_, static_cast<std::uint32_t>(body.size()));
        body_.insert(body_.end(), body);
        runningStatus_ = 0;
        return *this;
    }

    // F0, the length, then the body (which ends with F7).
    TrackWriter& sysex(std::uint32_t delta, const Bytes& body)
    {
        AppendVariableLength(body_, delta);
        body_.push_back(0xF0);
        AppendVariableLength(body_, static_cast<std::uint32_t>(body.size()));
        body_.insert(body_.end(), body.begin(), body.end());
        runningStatus_ = 0;
        return *this;
    }

    // A channel message of one or two data bytes. Its status byte is left out when the message
    // written just before it was a channel() message of the same status (running status, as
    // a conservative writer uses it: any other event ends it).
    TrackWriter& channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1)
    {
        AppendVariableLength(body_, delta);
        appendStatus(status);
        body_.push_back(data1);
        return *this;
    }

    TrackWriter& channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1,
                         std::uint8_t data2)
    {
        AppendVariableLength(body_, delta);
        appendStatus(status);
        body_.push_back(data1);
        body_.push_back(data2);
        return *this;
    }

    TrackWriter& endOfTrack(std::uint32_t delta = 0) { return meta(delta, 0x2F, {}); }

    const Bytes& body() const { return body_; }
    std::size_t size() const { return body_.size(); }

private:
    void appendStatus(std::uint8_t status)
    {
        if (status != runningStatus_) {
            body_.push_back(status);
            runningStatus_ = status;
        }
    }

    Bytes body_;
    std::uint8_t runningStatus_ = 0;
};

inline void AppendTag(Bytes& out, std::string_view tag)
{
    for (const char c : tag) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
}

// MThd, its length 6, the format, the track count and the division.
inline void AppendHeaderChunk(Bytes& out, std::uint16_t format, std::uint16_t trackCount,
                              std::uint16_t division)
{
    AppendTag(out, "MThd");
    AppendBigEndian(out, 6, 4);
    AppendBigEndian(out, format, 2);
    AppendBigEndian(out, trackCount, 2);
    AppendBigEndian(out, division, 2);
}

// MTrk, the length of the body, the body.
inline void AppendTrackChunk(Bytes& out, const TrackWriter& track)
{
    AppendTag(out, "MTrk");
    AppendBigEndian(out, static_cast<std::uint32_t>(track.body().size()), 4);
    out.insert(out.end(), track.body().begin(), track.body().end());
}

// MThd with format, track count and division, then one MTrk chunk per track.
inline Bytes WriteSmf(std::uint16_t format, std::uint16_t division,
                      const std::vector<TrackWriter>& tracks)
{
    Bytes file;
    AppendHeaderChunk(file, format, static_cast<std::uint16_t>(tracks.size()), division);
    for (const TrackWriter& track : tracks) {
        AppendTrackChunk(file, track);
    }
    return file;
}

} // namespace tracklens::tools
