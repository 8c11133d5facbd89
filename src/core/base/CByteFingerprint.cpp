#include "core/base/CByteFingerprint.h"

#include <algorithm>
#include <cstring>

namespace
{

constexpr std::uint64_t kMultiplier1 = 0x87C37B91114253D5ull;
constexpr std::uint64_t kMultiplier2 = 0x4CF5AD432745937Full;

std::uint64_t RotateLeft(std::uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

// Spreads every bit of value over the whole result.
std::uint64_t Mix(std::uint64_t value)
{
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDull;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ull;
    value ^= value >> 33;
    return value;
}

} // namespace

void CByteFingerprint::AddWord(std::uint64_t word)
{
    m_hash ^= RotateLeft(word * kMultiplier1, 31) * kMultiplier2;
    m_hash = RotateLeft(m_hash, 27) * 5 + 0x52DCE729;
}

void CByteFingerprint::Add(std::string_view bytes)
{
    if (bytes.empty())
        return;
    m_size += bytes.size();
    if (m_pendingCount > 0)
    {
        const std::size_t taken = std::min<std::size_t>(8 - m_pendingCount, bytes.size());
        std::memcpy(m_pending + m_pendingCount, bytes.data(), taken);
        m_pendingCount += static_cast<unsigned>(taken);
        bytes.remove_prefix(taken);
        if (m_pendingCount < 8)
            return;
        std::uint64_t word;
        std::memcpy(&word, m_pending, 8);
        AddWord(word);
        m_pendingCount = 0;
    }
    while (bytes.size() >= 8)
    {
        std::uint64_t word;
        std::memcpy(&word, bytes.data(), 8);
        AddWord(word);
        bytes.remove_prefix(8);
    }
    if (!bytes.empty())
        std::memcpy(m_pending, bytes.data(), bytes.size());
    m_pendingCount = static_cast<unsigned>(bytes.size());
}

CByteFingerprint::Value CByteFingerprint::Finish() const
{
    // The last, incomplete word is padded with zeros; the size tells "ab" from "ab\0".
    unsigned char last[8] = {};
    std::memcpy(last, m_pending, m_pendingCount);
    std::uint64_t word;
    std::memcpy(&word, last, 8);
    CByteFingerprint copy = *this;
    copy.AddWord(word);
    return {m_size, Mix(copy.m_hash ^ m_size)};
}
