#pragma once
// Synthetic .rla documents for the benchmarks and the comparison script: laws made of sections,
// chapters and articles in ЗАГ/ЦНТ blocks, and decrees that approve rules with many appendices in
// ПРВ+ЗАГ blocks. The text is made up from a fixed word list; no real document is used.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class DocumentShape
{
    Law, // thousands of «Статья N.» articles under РАЗДЕЛ/Глава title blocks and centred subdivisions
    Decree, // a decree approving rules, followed by hundreds of appendices with forms and tables
    Headings, // article headings (and a chapter every fifty) each followed by a blank line, nothing else
};

// File bytes of a document (code page 866, CR LF, no line end after the last line), at least
// targetBytes long and longer by less than one article or appendix. The same shape, size and seed
// always give the same bytes; different seeds give different texts of the same shape.
std::string GenerateDocument(DocumentShape shape, std::size_t targetBytes, std::uint32_t seed = 1);

// "law" / "decree" / "headings".
std::string_view ShapeName(DocumentShape shape);
std::optional<DocumentShape> ShapeFromName(std::string_view name);

// "20K", "5M", "1G" or a plain number of bytes; nullopt for anything else.
std::optional<std::size_t> ParseByteSize(std::string_view text);
// The shortest such form of a size: 20480 -> "20K", 5242880 -> "5M", 1000 -> "1000".
std::string FormatByteSize(std::size_t bytes);
