#pragma once
// The numbers of headings as a reader reads them: «Статья 18-1.» stands between 18 and 19, «ЧАСТЬ
// ВТОРАЯ» is part 2, «IV.» is 4, «2.1.» opens a branch under 2, and «Статьи 89 – 101 утратили силу»
// covers every number from 89 to 101. Pure functions of entry texts in code page 1251.

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
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

// The values of a number, the outermost first. A heading's number has a few at most, so they stand in
// place: the remarks read a number for every heading of the document.
class NumberPath
{
public:
    static constexpr std::size_t kCapacity = 8;

    NumberPath() = default;
    NumberPath(std::initializer_list<int> values)
    {
        for (const int value : values)
            push_back(value);
    }

    // False, and the path as it was, when it is full: a number that deep is none a reader would write.
    bool push_back(int value)
    {
        if (m_size == kCapacity)
            return false;
        m_values[m_size++] = value;
        return true;
    }
    void pop_back() { --m_size; }
    void resize(std::size_t size) { m_size = static_cast<std::uint8_t>(std::min(size, std::size_t{m_size})); }
    int& back() { return m_values[m_size - 1u]; }
    int back() const { return m_values[m_size - 1u]; }
    int& operator[](std::size_t i) { return m_values[i]; }
    int operator[](std::size_t i) const { return m_values[i]; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const int* begin() const { return m_values.data(); }
    const int* end() const { return m_values.data() + m_size; }

    friend bool operator==(const NumberPath& a, const NumberPath& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend std::strong_ordering operator<=>(const NumberPath& a, const NumberPath& b)
    {
        return std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    std::array<int, kCapacity> m_values{};
    std::uint8_t m_size = 0;
};

struct Number
{
    // «2.1» of a numbered heading gives {2, 1}; an inserted number (18-1, 18.1, 12а, 5<1>, 5^1), which
    // stands between its value and the next, gives {18, 1}; every other number is one value.
    NumberPath path;
    char separator = 0;    // what joins an inserted number to its value: '.', '-', '<', '^', 'a' for a letter
    bool roman = false;    // written in roman figures
    std::string written;   // as a reader names it: «18-1», «IV», «2.1», «3» for «ТРЕТЬЯ»

    bool operator==(const Number&) const = default;
};

struct HeadingNumbers
{
    Series series = Series::None;
    Number first;                    // empty path when the heading has no number
    Number last;                     // the last number it covers («101» of «89 – 101»)
    std::vector<std::string> others; // the numbers it names past the first, ranges spelled out
};

// The series and numbers of an entry's text (its lines joined, without the level line).
HeadingNumbers ReadHeadingNumbers(std::string_view text);

// The order of the divisions of an act, from the part down to the article; -1 for series that may
// stand at any depth (numbered headings, appendices).
int DivisionRank(Series series);

// «2.1» from {2, 1}.
std::string JoinPath(const NumberPath& path);

// The number n written the way like is written: roman figures for a roman sequence.
std::string WrittenLike(const Number& n, const Number& like);
