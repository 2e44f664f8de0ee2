#include "overlay/WordHash.h"

#include <bit>

double wordHash(double start, std::uint64_t salt)
{
    // Unsigned arithmetic wraps modulo 2^64, which is what the mix relies on.
    const auto bits = std::bit_cast<std::uint64_t>(start);
    std::uint64_t z = bits * 0x9E3779B97F4A7C15ULL + salt;
    z ^= z >> 31;
    z *= 0x94D049BB133111EBULL;
    z ^= z >> 29;
    return static_cast<double>(z % 10000) / 10000.0;
}
