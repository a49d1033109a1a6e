#pragma once
// Eight bytes at a time for the case-blind comparisons and hashes that run per row and per
// index step: a word of equal bytes needs no folding, and one that differs folds in a few
// instructions instead of eight.
#include <cstdint>
#include <cstring>

namespace tesmira::ascii {

// Up to eight bytes from p (the missing ones zero).
inline uint64_t load(const char* p, size_t n = 8)
{
    uint64_t w = 0;
    if (n >= 8)
        std::memcpy(&w, p, 8);
    else
        std::memcpy(&w, p, n);
    return w;
}

// Each byte 'A'..'Z' of w lowered; every other byte (UTF-8 ones included) as it is.
inline uint64_t lower(uint64_t w)
{
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t high = 0x8080808080808080ull;
    const uint64_t seven = w & ~high;             // each byte below 0x80: sums never carry over
    const uint64_t atLeastA = seven + (0x80 - 'A') * ones;
    const uint64_t pastZ = seven + (0x80 - 'Z' - 1) * ones;
    const uint64_t upper = atLeastA & ~pastZ & ~w & high;
    return w | (upper >> 2); // 0x80 >> 2 is the case bit
}

} // namespace tesmira::ascii
