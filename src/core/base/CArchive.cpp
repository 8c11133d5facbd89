#include "core/base/CArchive.h"

#include "core/base/CodePage.h"

#include <limits>
#include <utility>

namespace
{

constexpr std::uint8_t kLongLength = 0xFF;
constexpr std::uint16_t kWideMark = 0xFFFE;
constexpr std::uint16_t kLength32 = 0xFFFF;

} // namespace

CArchive::CArchive() : m_storing(true) {}

CArchive::CArchive(std::string bytes) : m_storing(false), m_bytes(std::move(bytes)) {}

void CArchive::WriteUInt(std::uint32_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i)
        m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t CArchive::ReadUInt(int byteCount)
{
    if (Remaining() < static_cast<std::size_t>(byteCount))
        throw CArchiveException("unexpected end of the archive");
    std::uint32_t value = 0;
    for (int i = 0; i < byteCount; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_position + i])) << (8 * i);
    m_position += byteCount;
    return value;
}

void CArchive::WriteInt32(std::int32_t value)
{
    WriteUInt(static_cast<std::uint32_t>(value), 4);
}

std::int32_t CArchive::ReadInt32()
{
    return static_cast<std::int32_t>(ReadUInt(4));
}

void CArchive::WriteString(std::string_view text)
{
    const std::size_t length = text.size();
    if (length < kLongLength)
    {
        WriteUInt(static_cast<std::uint32_t>(length), 1);
    }
    else if (length < kWideMark)
    {
        WriteUInt(kLongLength, 1);
        WriteUInt(static_cast<std::uint32_t>(length), 2);
    }
    else
    {
        if (length > std::numeric_limits<std::uint32_t>::max())
            throw CArchiveException("string too long for the archive");
        WriteUInt(kLongLength, 1);
        WriteUInt(kLength32, 2);
        WriteUInt(static_cast<std::uint32_t>(length), 4);
    }
    m_bytes.append(text);
}

std::uint32_t CArchive::ReadLength(bool& wide)
{
    wide = false;
    const std::uint32_t first = ReadUInt(1);
    if (first < kLongLength)
        return first;
    const std::uint32_t second = ReadUInt(2);
    if (second == kWideMark)
    {
        wide = true;
        return 0;
    }
    if (second < kLength32)
        return second;
    return ReadUInt(4);
}

std::string CArchive::ReadString()
{
    bool wide = false;
    std::uint32_t length = ReadLength(wide);
    if (wide)
    {
        bool wideAgain = false;
        length = ReadLength(wideAgain);
        if (wideAgain)
            throw CArchiveException("malformed wide string length");
        return ReadWideText(length);
    }
    // Checked before anything is allocated, so a damaged length cannot ask for gigabytes.
    if (length > Remaining())
        throw CArchiveException("string length beyond the end of the archive");
    std::string text = m_bytes.substr(m_position, length);
    m_position += length;
    return text;
}

std::string CArchive::ReadWideText(std::uint32_t units)
{
    if (units > Remaining() / 2)
        throw CArchiveException("wide string length beyond the end of the archive");
    std::string utf8;
    for (std::uint32_t i = 0; i < units; ++i)
    {
        char32_t cp = ReadUInt(2);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units)
        {
            const char32_t low = static_cast<unsigned char>(m_bytes[m_position]) |
                                 static_cast<unsigned char>(m_bytes[m_position + 1]) << 8;
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                m_position += 2;
                ++i;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        // A lone surrogate has no character; it becomes one that 1251 cannot show either.
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        AppendUtf8(utf8, cp);
    }
    return Utf8ToCp1251(utf8);
}

void CArchive::Serialize(std::int32_t& value)
{
    if (m_storing)
        WriteInt32(value);
    else
        value = ReadInt32();
}

void CArchive::Serialize(std::string& text)
{
    if (m_storing)
        WriteString(text);
    else
        text = ReadString();
}
