#pragma once
// Byte-for-byte table conversions done sixteen bytes at a time where the bytes allow it: the bulk of
// a text (ASCII and the two Cyrillic alphabets) converts by arithmetic on a whole block, and a block
// holding any other byte goes through the table. GCC and Clang vector types: the compiler emits the
// machine's own vector instructions, or plain ones where it has none.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace byteblocks
{
typedef unsigned char Block __attribute__((vector_size(16)));
inline constexpr std::size_t kBlock = sizeof(Block);

// Whether every byte of mask is 0xFF.
inline bool Every(Block mask)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] & halves[1]) == ~std::uint64_t{0};
}

// Where lo <= byte <= hi: 0xFF, else 0.
inline Block InRange(Block bytes, unsigned char lo, unsigned char hi)
{
    return reinterpret_cast<Block>(static_cast<Block>(bytes - lo) <= static_cast<unsigned char>(hi - lo));
}

// Converts the bytes from c to end in place: a block at a time through fast, which converts a block
// and returns true or leaves it and returns false, the rest through table.
template <bool (*Fast)(Block&), typename Byte>
void ConvertInPlace(char* c, char* const end, const std::array<Byte, 256>& table)
{
    for (; end - c >= static_cast<std::ptrdiff_t>(kBlock); c += kBlock)
    {
        Block bytes;
        std::memcpy(&bytes, c, kBlock);
        if (Fast(bytes))
        {
            std::memcpy(c, &bytes, kBlock);
            continue;
        }
        for (char* b = c; b != c + kBlock; ++b)
            *b = static_cast<char>(table[static_cast<unsigned char>(*b)]);
    }
    for (; c != end; ++c)
        *c = static_cast<char>(table[static_cast<unsigned char>(*c)]);
}
// How many bytes of text are byte.
inline std::size_t CountByte(std::string_view text, unsigned char byte)
{
    std::size_t count = 0;
    const char* c = text.data();
    const char* const end = c + text.size();
    while (end - c >= static_cast<std::ptrdiff_t>(kBlock))
    {
        // Counted per byte position in a block, at most 255 blocks before the counts are added up.
        Block counts = {};
        for (int blocks = 0; blocks < 255 && end - c >= static_cast<std::ptrdiff_t>(kBlock); ++blocks, c += kBlock)
        {
            Block bytes;
            std::memcpy(&bytes, c, kBlock);
            counts -= reinterpret_cast<Block>(bytes == byte);
        }
        for (std::size_t i = 0; i < kBlock; ++i)
            count += counts[i];
    }
    for (; c != end; ++c)
        count += static_cast<unsigned char>(*c) == byte;
    return count;
}
} // namespace byteblocks
