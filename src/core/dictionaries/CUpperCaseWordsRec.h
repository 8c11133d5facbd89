#pragma once
// One word of the capitalised-words dictionary: the word as typed, the upper-cased stem that text
// words are matched by, and whether the word is written in capitals only.

#include <cstdint>
#include <string>
#include <string_view>

class CArchive;

class CUpperCaseWordsRec
{
public:
    CUpperCaseWordsRec() = default;
    // Keeps word as given and derives the stem (n - 2 characters for n >= 5, 3 for n = 4, all of
    // a shorter word; upper-cased) and the all-capitals flag.
    explicit CUpperCaseWordsRec(std::string word);

    // True when the upper-cased text word begins with the stem and its length differs from the
    // dictionary word's by at most 2.
    bool Matches(std::string_view word) const;

    // Word, stem, flag in that order. Loading takes stem and flag as stored, without recomputing.
    void Serialize(CArchive& ar);

    bool operator==(const CUpperCaseWordsRec&) const = default;

    const std::string& Word() const { return m_word; }
    const std::string& Stem() const { return m_stem; }
    // 1 when the word is written in capitals only (as stored: a loaded entry keeps its flag).
    std::int32_t AllCaps() const { return m_allCaps; }

private:
    std::string m_word;
    std::string m_stem;
    std::int32_t m_allCaps = 0;
};
