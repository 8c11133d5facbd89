#pragma once
// The line tests and text operations that every recognition pass shares. All are pure functions
// of byte strings in code page 1251. A "blank" is the byte 0x20; "white space" is that of TextRules.

#include "core/base/CTextLines.h"
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Word
{
    std::string text;
    std::size_t start = 0; // index of the word's first character in the line
    std::size_t end = 0;   // one past its last character

    bool operator==(const Word&) const = default;
};

// Empty, or blanks only (a tab makes the line non-blank).
bool IsBlankLine(std::string_view line);
// Trimmed left, the part before the first blank is made of "0123456789IVX." and holds a full stop;
// a line without a blank is never numbered.
bool IsNumberedLine(std::string_view line);
// Numbered, or (upper-cased) its first word is exactly РАЗДЕЛ, ГЛАВА, ЧАСТЬ or §.
bool IsSectionHeading(std::string_view line);
// Trimmed left, begins with «Статья » (case-sensitive, with the blank); what follows is empty, a
// single blank-free token, or a first token of letters and digits closed by a full stop.
bool IsArticleHeading(std::string_view line);
// One of the first 40 lines, trimmed, is an act word (ЗАКОН, КОДЕКС, ...) or holds it with a
// blank on one side; case-sensitive.
bool IsActDocument(const CTextLines& lines);
// The kind 1..10 the standard passes give a heading line, from the words and number it begins with.
int StandardKindOf(std::string_view line);
// StandardKindOf of the first element that is not a marker line; 9 when there is none.
int StandardKindOfBlock(const std::vector<std::string>& lines);
// The first element that is neither blank nor a marker line; empty when there is none.
std::string FirstContentLine(const std::vector<std::string>& lines);
// Trimmed (white space), then every run of blanks reduced to one blank.
std::string NormaliseSpaces(std::string_view s);
// The lines joined with "\n" between them.
std::string JoinLines(const std::vector<std::string>& lines);
// Blank-separated words with their positions. A line without a blank is one word (an empty line
// gives one empty word); leading blanks are skipped; a line that ends in blanks gives a final empty
// word at its end.
std::vector<Word> SplitWords(std::string_view line);
