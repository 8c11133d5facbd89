#pragma once
// The line tests and text operations that every recognition pass shares. All are pure functions
// of byte strings in code page 1251.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Word
{
    std::string text;
    std::size_t start = 0; // index of the word's first character in the line
    std::size_t end = 0;   // one past its last character
};

bool IsBlankLine(std::string_view line);
bool IsNumberedLine(std::string_view line);
bool IsSectionHeading(std::string_view line);
bool IsArticleHeading(std::string_view line);
bool IsActDocument(const std::vector<std::string>& lines);
int HeadingKindOf(std::string_view line);
int KindOfLines(const std::vector<std::string>& lines);
std::string FirstContentLine(const std::vector<std::string>& lines);
std::string NormaliseSpaces(std::string_view s);
std::string NormaliseForCompare(std::string_view s);
std::string JoinLines(const std::vector<std::string>& lines);
std::vector<Word> SplitWords(std::string_view line);
