#pragma once

#include <cstddef>
#include <cstdint>

namespace tracklens::tools {

// SplitMix64: small, fast, and the same numbers on every machine, compiler and run, so that a
// seed always makes the same file or the same damage.
class FixedRandom {
public:
    explicit FixedRandom(std::uint64_t seed)
        : state_(seed)
    {
    }

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    // A number below bound, which must not be 0.
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

    // A number from low to high, both included.
    std::uint32_t between(std::uint32_t low, std::uint32_t high)
    {
        return low + static_cast<std::uint32_t>(next() % (std::uint64_t{high} - low + 1));
    }

    std::uint8_t byteBetween(std::uint32_t low, std::uint32_t high)
    {
        return static_cast<std::uint8_t>(between(low, high));
    }

private:
    std::uint64_t state_;
};

} // namespace tracklens::tools
