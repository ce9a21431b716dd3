#pragma once
#include <cstdint>

namespace moltrix::sim {

// The simulator's randomness: reproducible from a seed, so that a test or a
// bench set-up sees the same chip every time.

// A well-spread 64-bit value for `x` (the splitmix64 finaliser): per-address
// draws such as how much charge an EPROM cell needs.
constexpr std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A stream of pseudo-random bytes: indeterminate lines and unreliable cells.
class SeededBits {
public:
    explicit SeededBits(std::uint64_t seed) : state_(seed) {}
    std::uint8_t Byte() {
        state_ += 0x9E3779B97F4A7C15ull;
        return static_cast<std::uint8_t>(Mix(state_) >> 56);
    }

private:
    std::uint64_t state_;
};

}  // namespace moltrix::sim
