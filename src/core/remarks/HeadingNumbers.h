#pragma once
// The numbers of headings as a reader reads them: «Статья 18-1.» stands between 18 and 19, «ЧАСТЬ
// ВТОРАЯ» is part 2, «IV.» is 4, «2.1.» opens a branch under 2, and «Статьи 89 – 101 утратили силу»
// covers every number from 89 to 101. Pure functions of entry texts in code page 1251.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The numbered sequences of a document: each is numbered on its own.
enum class Series
{
    Article,
    Chapter,
    Section,
    Subsection,
    Part,
    Paragraph, // §
    Roman,     // «IV. Название»
    Numbered,  // «1. Название», «2.1. Название»
    Appendix,
    None,
};
constexpr std::size_t kSeriesCount = static_cast<std::size_t>(Series::None);

struct Number
{
    // «2.1» of a numbered heading gives {2, 1}; an inserted number (18-1, 18.1, 12а, 5<1>, 5^1), which
    // stands between its value and the next, gives {18, 1}; every other number is one value.
    std::vector<int> path;
    char separator = 0;    // what joins an inserted number to its value: '.', '-', '<', '^', 'a' for a letter
    bool roman = false;    // written in roman figures
    std::string written;   // as a reader names it: «18-1», «IV», «2.1», «3» for «ТРЕТЬЯ»

    bool operator==(const Number&) const = default;
};

struct HeadingNumbers
{
    Series series = Series::None;
    Number first;                     // empty path when the heading has no number
    Number last;                      // the last number it covers («101» of «89 – 101»)
    std::vector<std::string> covered; // every number it names, ranges spelled out
};

// The series and numbers of an entry's text (its lines joined, without the level line).
HeadingNumbers ReadHeadingNumbers(std::string_view text);

// The order of the divisions of an act, from the part down to the article; -1 for series that may
// stand at any depth (numbered headings, appendices).
int DivisionRank(Series series);

// «2.1» from {2, 1}.
std::string JoinPath(const std::vector<int>& path);

// The number n written the way like is written: roman figures for a roman sequence.
std::string WrittenLike(const Number& n, const Number& like);
