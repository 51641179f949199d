#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/Bytes.h"
#include "engine/RunOutcome.h"

namespace tracklens {

// A bounded reader over one region of the file (a track body). A byte needed beyond the end
// of the region is a failure; a run of several bytes is cut at the end instead.
class TrackReader {
public:
    TrackReader(ByteSpan file, std::size_t begin, std::size_t end)
        : file_(file)
        , position_(begin)
        , end_(end)
    {
    }

    std::size_t position() const { return position_; }
    std::size_t end() const { return end_; }
    ByteSpan file() const { return file_; }

    // An event starts only where at least two bytes of the region are left.
    bool hasEventLeft() const { return position_ < end_ && end_ - position_ >= 2; }

    std::uint8_t peekByte() const
    {
        if (position_ >= end_) {
            throw RunFailure{FailureCode::MissingByte, position_ + 1};
        }
        return file_[position_];
    }

    std::uint8_t readByte()
    {
        const std::uint8_t byte = peekByte();
        ++position_;
        return byte;
    }

    // Bytes of the region left from the position.
    std::size_t left() const { return position_ < end_ ? end_ - position_ : 0; }

    // A byte at a position the caller knows to be in the region, and a move past bytes it knows
    // the region holds.
    std::uint8_t byteAt(std::size_t position) const { return file_[position]; }
    void advance(std::size_t count) { position_ += count; }

    // A variable-length quantity of one to four bytes; the fourth ends it whatever its top bit.
    std::uint32_t readVariableLength()
    {
        if (left() >= 4) {
            // All four bytes at once: the first byte with its top bit clear ends the quantity,
            // and the unused low groups are shifted out.
            const std::uint8_t* bytes = file_.data() + position_;
            const std::uint32_t word = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                       std::uint32_t{bytes[2]} << 16 |
                                       std::uint32_t{bytes[3]} << 24;
            const std::uint32_t stops = (~word & 0x80808080u) | 0x80000000u;
            const auto count = static_cast<std::uint32_t>(std::countr_zero(stops)) / 8 + 1;
            const std::uint32_t groups = (word & 0x7Fu) << 21 | (word >> 8 & 0x7Fu) << 14 |
                                         (word >> 16 & 0x7Fu) << 7 | (word >> 24 & 0x7Fu);
            position_ += count;
            return groups >> (7 * (4 - count));
        }
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t byte = readByte();
            value = (value << 7) | (byte & 0x7Fu);
            if (byte < 0x80) {
                break;
            }
        }
        return value;
    }

    // Moves past count bytes and tells how many of them the region holds.
    std::size_t skip(std::uint64_t count)
    {
        const std::size_t present = position_ >= end_ ? 0 : end_ - position_;
        const std::size_t taken = count < present ? static_cast<std::size_t>(count) : present;
        position_ = count < present ? position_ + taken : end_ + 1;
        return taken;
    }

    // Bytes of the region from a position, at most count of them.
    ByteSpan bytesFrom(std::size_t from, std::size_t count) const
    {
        if (from >= end_) {
            return {};
        }
        return file_.subspan(from, count < end_ - from ? count : end_ - from);
    }

private:
    ByteSpan file_;
    std::size_t position_;
    std::size_t end_;
};

} // namespace tracklens
