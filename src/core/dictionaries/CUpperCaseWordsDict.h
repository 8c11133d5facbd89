#pragma once
// The capitalised-words dictionary: words that keep their capitals when an entry typed in capitals
// is turned into sentence case. A fixed built-in list (never stored or shown) and the user's list.

#include "core/dictionaries/CUpperCaseWordsRec.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CArchive;
class IReporter;

class CUpperCaseWordsDict
{
public:
    // The 15 built-in words; no user words.
    CUpperCaseWordsDict();

    // The first entry that matches the text word, built-in words first, each list in order.
    std::optional<CUpperCaseWordsRec> FindWord(std::string_view word) const;

    // Adds the typed text (1251), trimmed of white space, as a user word. Refuses, through reporter
    // and without change, an empty text ("Введите слово!") and a word already in the user list
    // byte for byte. True when added.
    bool AddWord(std::string_view typed, IReporter& reporter);

    // Adds each of words that is not empty and not yet a user word, as it stands (a file's words,
    // which need no trimming and report nothing).
    void AddUserWords(std::vector<std::string> words);
    // Removes the user words at the ascending positions given; positions past the end are ignored.
    void RemoveUserWordsAt(const std::vector<int>& positions);
    void ClearUserWords() { m_userWords.clear(); }

    // User words in ascending byte order of the word, as the list is shown.
    void SortUserWords();

    // The user words: count, then each entry. Loading empties the user list first and appends entry
    // by entry, so a failure part-way keeps the entries read so far; a negative count reads as none.
    // Throws CArchiveException when the data ends early.
    void Serialize(CArchive& ar);

    const std::vector<CUpperCaseWordsRec>& UserWords() const { return m_userWords; }
    const std::vector<CUpperCaseWordsRec>& BuiltinWords() const { return m_builtinWords; }

private:
    std::vector<CUpperCaseWordsRec> m_userWords;
    std::vector<CUpperCaseWordsRec> m_builtinWords;
};
