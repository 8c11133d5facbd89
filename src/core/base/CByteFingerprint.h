#pragma once
// A fingerprint of a stream of bytes, fed in pieces of any size: two streams with the same bytes get
// the same fingerprint however they were cut, and two that differ are told apart but for a chance of
// about 2^-64. It tells whether a document would be written as it was read without keeping a copy.

#include <cstdint>
#include <string_view>

class CByteFingerprint
{
public:
    void Add(std::string_view bytes);

    struct Value
    {
        std::uint64_t size;
        std::uint64_t hash;

        bool operator==(const Value&) const = default;
    };
    Value Finish() const;

private:
    void AddWord(std::uint64_t word);

    std::uint64_t m_hash = 0x9E3779B97F4A7C15ull;
    std::uint64_t m_size = 0;
    // The bytes of a word not yet complete.
    unsigned char m_pending[8] = {};
    unsigned m_pendingCount = 0;
};
