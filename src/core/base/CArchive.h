#pragma once
// The binary archive of the settings file: little-endian 32-bit integers and counted strings of
// code page 1251 bytes. One object either stores (collects bytes in memory) or loads (reads from a
// byte buffer); Serialize functions ask IsStoring() and call the matching operation.
//
// Counted string: a one-byte length below 255; else 0xFF and a 16-bit length below 0xFFFE; else 0xFF,
// 0xFFFF and a 32-bit length. Loading also accepts the wide form: 0xFF, 0xFFFE, then a second length
// of the same form counting UTF-16LE units, whose text is converted to code page 1251.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Thrown when loading meets the end of the data or a malformed length; the archive's position is
// then unspecified and the caller stops reading.
class CArchiveException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class CArchive
{
public:
    // An archive that stores: the written bytes collect in Bytes().
    CArchive();
    // An archive that loads from a copy of bytes, starting at the first byte.
    explicit CArchive(std::string bytes);

    bool IsStoring() const { return m_storing; }

    void WriteInt32(std::int32_t value);
    // Throws CArchiveException when fewer than 4 bytes remain.
    std::int32_t ReadInt32();

    // Picks the shortest length form; throws CArchiveException for a string of 4 GiB or more.
    void WriteString(std::string_view text);
    // Throws CArchiveException when a length announces more bytes than remain.
    std::string ReadString();

    // Stores the value when storing, replaces it with the next one when loading.
    void Serialize(std::int32_t& value);
    void Serialize(std::string& text);

    // The bytes written so far (storing) or the whole buffer (loading).
    const std::string& Bytes() const { return m_bytes; }
    // Bytes not yet read (loading).
    std::size_t Remaining() const { return m_bytes.size() - m_position; }

private:
    void WriteUInt(std::uint32_t value, int byteCount);
    std::uint32_t ReadUInt(int byteCount);
    // The length that follows a string's (first or wide) prefix; wide is set by the 0xFF 0xFFFE form.
    std::uint32_t ReadLength(bool& wide);
    std::string ReadWideText(std::uint32_t units);

    bool m_storing;
    std::string m_bytes;
    std::size_t m_position = 0;
};
