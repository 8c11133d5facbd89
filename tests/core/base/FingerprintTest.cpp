#include "core/base/CByteFingerprint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

CByteFingerprint::Value FingerprintOf(const std::vector<std::string>& pieces)
{
    CByteFingerprint fingerprint;
    for (const std::string& piece : pieces)
        fingerprint.Add(piece);
    return fingerprint.Finish();
}

} // namespace

TEST(ByteFingerprint, TheSameBytesGiveTheSameValueHoweverTheyAreCut)
{
    std::string bytes;
    for (int i = 0; i < 100; ++i)
        bytes += static_cast<char>(i * 37);
    const CByteFingerprint::Value whole = FingerprintOf({bytes});
    for (std::size_t first = 0; first <= bytes.size(); ++first)
        for (const std::size_t second : {first, first + 1, first + 7, first + 8, first + 9, bytes.size()})
        {
            const std::size_t end = std::min(second, bytes.size());
            EXPECT_EQ(FingerprintOf(
                          {bytes.substr(0, first), "", bytes.substr(first, end - first), bytes.substr(end)}),
                      whole)
                << first << ' ' << end;
        }
}

TEST(ByteFingerprint, DifferentBytesGiveDifferentValues)
{
    const std::vector<std::string> streams = {
        "",
        std::string(1, '\0'),
        std::string(8, '\0'),
        std::string(9, '\0'),
        "ab",
        "ba",
        "abcdefgh",
        "abcdefgi",
        "abcdefghabcdefgh",
        "bcdefghaabcdefgh",
        "abcdefgh\r\n",
        "abcdefgh\n",
    };
    for (std::size_t i = 0; i < streams.size(); ++i)
        for (std::size_t j = i + 1; j < streams.size(); ++j)
            EXPECT_NE(FingerprintOf({streams[i]}), FingerprintOf({streams[j]})) << i << ' ' << j;
}
