#include "core/dictionaries/CUpperCaseWordsDict.h"

#include "core/base/CArchive.h"
#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/base/TextRules.h"

#include <algorithm>
#include <array>

namespace
{

const std::vector<CUpperCaseWordsRec>& BuiltinWords()
{
    static const std::vector<CUpperCaseWordsRec> words = []
    {
        static constexpr std::array<std::string_view, 15> kWords = {
            "N",   "NN",  "Россия", "Российской", "Федерация", "Федеральный", "РФ", "РСФСР",
            "СНГ", "МВД", "ФСБ",    "РОВД",       "РУВД",      "Республика",  "УВД"};
        std::vector<CUpperCaseWordsRec> list;
        for (std::string_view word : kWords)
            list.emplace_back(Utf8ToCp1251(word));
        return list;
    }();
    return words;
}

std::optional<CUpperCaseWordsRec> FirstMatch(const std::vector<CUpperCaseWordsRec>& list,
                                             std::string_view word)
{
    for (const CUpperCaseWordsRec& rec : list)
    {
        if (rec.Matches(word))
            return rec;
    }
    return std::nullopt;
}

} // namespace

CUpperCaseWordsDict::CUpperCaseWordsDict() : m_builtinWords(BuiltinWords()) {}

std::optional<CUpperCaseWordsRec> CUpperCaseWordsDict::FindWord(std::string_view word) const
{
    if (auto rec = FirstMatch(m_builtinWords, word))
        return rec;
    return FirstMatch(m_userWords, word);
}

bool CUpperCaseWordsDict::AddWord(std::string_view typed, IReporter& reporter)
{
    CUpperCaseWordsRec rec(Trim(typed));
    if (rec.m_word.empty())
    {
        reporter.Report("Введите слово!", MessageIcon::Error);
        return false;
    }
    const bool present = std::any_of(m_userWords.begin(), m_userWords.end(),
                                     [&](const CUpperCaseWordsRec& other)
                                     { return other.m_word == rec.m_word && other.m_stem == rec.m_stem; });
    if (present)
    {
        reporter.Report("Слово \"" + Cp1251ToUtf8(rec.m_word) + "\" уже находится в словаре!",
                        MessageIcon::Error);
        return false;
    }
    m_userWords.push_back(std::move(rec));
    return true;
}

void CUpperCaseWordsDict::SortUserWords()
{
    // std::string compares as unsigned bytes, which is the order the operator sees.
    std::stable_sort(m_userWords.begin(), m_userWords.end(),
                     [](const CUpperCaseWordsRec& a, const CUpperCaseWordsRec& b)
                     { return a.m_word < b.m_word; });
}

void CUpperCaseWordsDict::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar.WriteInt32(static_cast<std::int32_t>(m_userWords.size()));
        for (CUpperCaseWordsRec& rec : m_userWords)
            rec.Serialize(ar);
        return;
    }
    m_userWords.clear();
    const std::int32_t count = ar.ReadInt32();
    for (std::int32_t i = 0; i < count; ++i)
    {
        m_userWords.emplace_back();
        try
        {
            m_userWords.back().Serialize(ar);
        }
        catch (...)
        {
            m_userWords.pop_back();
            throw;
        }
    }
}
