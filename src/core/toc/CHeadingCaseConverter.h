#pragma once
// Letter case of table-of-contents entries typed in capitals. An entry's line 0 is its level line,
// line 1 the first line of the heading, later lines its continuation; the three are treated
// differently. An entry of fewer than two lines is left unchanged.

#include "core/toc/CTocItemList.h"

#include <string>
#include <string_view>
#include <vector>

class CHeadingCaseConverter : public CTocItemList
{
public:
    // words may be null: then no word keeps its capitals through the dictionary.
    explicit CHeadingCaseConverter(const CUpperCaseWordsDict* words) : CTocItemList(words) {}

    // Sentence case: continuation lines lower-cased, the heading line lower-cased after its number
    // with its first letter capitalised, then dictionary words, quoted words and words after a long
    // word ending in "." re-cased from the original text.
    void ToSentenceCase(std::vector<std::string>& lines) const;
    // Capitals without the dictionary: continuation lines and the heading line (after its number)
    // upper-cased; the level line and an article heading line stay as they are.
    void ToCapitals(std::vector<std::string>& lines) const;

    // The same on an entry text: split at "\n" (a final piece without "\n" is a line when not
    // empty), converted, joined again with "\n".
    std::string ToSentenceCase(std::string_view entryText) const;
    std::string ToCapitals(std::string_view entryText) const;

    // The heading line starts with a section number, a part/section/chapter word, ТАБЛИЦА, or is an
    // article heading holding a "." (upper-cased, leading white space ignored); never when it
    // begins with "ПРИЛОЖЕНИЕ.".
    static bool IsNumberedHeadingLine(std::string_view line);

private:
    void ApplyDictionaryWords(const std::vector<std::string>& original,
                              std::vector<std::string>& lines) const;
};
