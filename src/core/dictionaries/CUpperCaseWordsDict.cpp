#include "core/dictionaries/CUpperCaseWordsDict.h"

#include "core/base/CArchive.h"
#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/base/TextRules.h"
#include "core/dictionaries/ListEditing.h"

#include <algorithm>
#include <array>

namespace
{

const std::vector<CUpperCaseWordsRec>& TheBuiltinWords()
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

CUpperCaseWordsDict::CUpperCaseWordsDict() : m_builtinWords(TheBuiltinWords()) {}

std::optional<CUpperCaseWordsRec> CUpperCaseWordsDict::FindWord(std::string_view word) const
{
    if (auto rec = FirstMatch(m_builtinWords, word))
        return rec;
    return FirstMatch(m_userWords, word);
}

bool CUpperCaseWordsDict::AddWord(std::string_view typed, IReporter& reporter)
{
    CUpperCaseWordsRec rec(Trim(typed));
    if (rec.Word().empty())
    {
        reporter.Report("Введите слово!", MessageIcon::Error);
        return false;
    }
    const bool present = std::any_of(m_userWords.begin(), m_userWords.end(),
                                     [&](const CUpperCaseWordsRec& other)
                                     { return other.Word() == rec.Word() && other.Stem() == rec.Stem(); });
    if (present)
    {
        reporter.Report("Слово \"" + Cp1251ToUtf8(rec.Word()) + "\" уже находится в словаре!",
                        MessageIcon::Error);
        return false;
    }
    m_userWords.push_back(std::move(rec));
    return true;
}

void CUpperCaseWordsDict::AddUserWords(std::vector<std::string> words)
{
    for (std::string& word : words)
    {
        if (word.empty() ||
            std::any_of(m_userWords.begin(), m_userWords.end(),
                        [&word](const CUpperCaseWordsRec& entry) { return entry.Word() == word; }))
            continue;
        m_userWords.emplace_back(std::move(word));
    }
}

void CUpperCaseWordsDict::RemoveUserWordsAt(const std::vector<int>& positions)
{
    EraseAtPositions(m_userWords, positions);
}

void CUpperCaseWordsDict::SortUserWords()
{
    // std::string compares as unsigned bytes, which is the order the operator sees.
    std::stable_sort(m_userWords.begin(), m_userWords.end(),
                     [](const CUpperCaseWordsRec& a, const CUpperCaseWordsRec& b)
                     { return a.Word() < b.Word(); });
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
