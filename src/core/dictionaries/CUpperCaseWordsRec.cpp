#include "core/dictionaries/CUpperCaseWordsRec.h"

#include "core/base/CArchive.h"
#include "core/base/TextRules.h"

#include <utility>

namespace
{

std::size_t StemLength(std::size_t wordLength)
{
    if (wordLength >= 5)
        return wordLength - 2;
    if (wordLength == 4)
        return 3;
    return wordLength;
}

} // namespace

CUpperCaseWordsRec::CUpperCaseWordsRec(std::string word) : m_word(std::move(word))
{
    const std::string upper = ToUpper(m_word);
    m_stem = upper.substr(0, StemLength(m_word.size()));
    m_allCaps = upper == m_word ? 1 : 0;
}

bool CUpperCaseWordsRec::Matches(std::string_view word) const
{
    const std::size_t a = word.size();
    const std::size_t b = m_word.size();
    const std::size_t difference = a > b ? a - b : b - a;
    return difference < 3 && BeginsWith(ToUpper(word), m_stem);
}

void CUpperCaseWordsRec::Serialize(CArchive& ar)
{
    ar.Serialize(m_word);
    ar.Serialize(m_stem);
    ar.Serialize(m_allCaps);
}
