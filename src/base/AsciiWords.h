#pragma once
// Eight bytes at a time for the case-blind comparisons and hashes that run per row and per
// index step: a word of equal bytes needs no folding, and one that differs folds in a few
// instructions instead of eight. A text's last bytes are read as a word that overlaps the one
// before, so no byte loop is left at all.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tesmira::ascii {

// Bytes in text order from the lowest bits up, whatever the machine's order.
template <typename Word>
uint64_t load(const char* p)
{
    Word w;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::big)
        w = sizeof w == 8   ? static_cast<Word>(__builtin_bswap64(w))
            : sizeof w == 4 ? static_cast<Word>(__builtin_bswap32(w))
                            : static_cast<Word>(__builtin_bswap16(static_cast<uint16_t>(w)));
    return w;
}

// Each byte 'A'..'Z' of w lowered; every other byte (UTF-8 ones included) as it is.
inline uint64_t lower(uint64_t w)
{
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t high = 0x8080808080808080ull;
    const uint64_t seven = w & ~high; // each byte below 0x80: sums never carry over
    const uint64_t atLeastA = seven + (0x80 - 'A') * ones;
    const uint64_t pastZ = seven + (0x80 - 'Z' - 1) * ones;
    const uint64_t upper = atLeastA & ~pastZ & ~w & high;
    return w | (upper >> 2); // 0x80 >> 2 is the case bit
}

// Calls f(wordOfA, wordOfB) over the first `n` bytes of two texts until it answers non-zero:
// whole words, then the last word again overlapping the previous one (bytes already found equal
// cannot change the answer); shorter texts the same way in 4- or 2-byte words. Answers f's
// first non-zero.
template <typename F>
int eachWord(const char* a, const char* b, size_t n, F&& f)
{
    if (n >= 8) {
        size_t i = 0;
        for (; i + 8 <= n; i += 8)
            if (const int d = f(load<uint64_t>(a + i), load<uint64_t>(b + i)))
                return d;
        return i < n ? f(load<uint64_t>(a + n - 8), load<uint64_t>(b + n - 8)) : 0;
    }
    if (n >= 4) {
        if (const int d = f(load<uint32_t>(a), load<uint32_t>(b)))
            return d;
        return f(load<uint32_t>(a + n - 4), load<uint32_t>(b + n - 4));
    }
    if (n >= 2) { // two-letter codes and flags are the commonest keys of all
        if (const int d = f(load<uint16_t>(a), load<uint16_t>(b)))
            return d;
        return n == 3 ? f(load<uint16_t>(a + 1), load<uint16_t>(b + 1)) : 0;
    }
    return n == 1 ? f(static_cast<unsigned char>(a[0]), static_cast<unsigned char>(b[0])) : 0;
}

// 0 when x and y are equal but for ASCII case; else the first differing byte's lowered values
// subtracted, unsigned, as a byte-by-byte comparison would answer.
inline int compareFolded(uint64_t x, uint64_t y)
{
    if (x == y)
        return 0;
    x = lower(x);
    y = lower(y);
    if (x == y)
        return 0;
    const int shift = std::countr_zero(x ^ y) & ~7;
    return static_cast<int>((x >> shift) & 0xFF) - static_cast<int>((y >> shift) & 0xFF);
}

// A hash of any bytes, four words at a time: statement texts of a few hundred bytes are looked
// up by their whole text on every run.
inline uint64_t hashBytes(const char* p, size_t n)
{
    constexpr uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t a = n, b = k, c = ~k, d = n * k;
    for (; n >= 32; p += 32, n -= 32) {
        a = (a ^ load<uint64_t>(p)) * k;
        b = (b ^ load<uint64_t>(p + 8)) * k;
        c = (c ^ load<uint64_t>(p + 16)) * k;
        d = (d ^ load<uint64_t>(p + 24)) * k;
    }
    for (; n >= 8; p += 8, n -= 8)
        a = (a ^ load<uint64_t>(p)) * k;
    uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    uint64_t h = ((a ^ tail) * k) ^ std::rotl(b, 16) ^ std::rotl(c, 32) ^ std::rotl(d, 48);
    h = (h ^ (h >> 29)) * k;
    return h ^ (h >> 32);
}

} // namespace tesmira::ascii
