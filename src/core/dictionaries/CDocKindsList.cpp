#include "core/dictionaries/CDocKindsList.h"

#include "core/base/CArchive.h"
#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/base/FileLines.h"
#include "core/base/Reporter.h"
#include "core/base/TextRules.h"
#include "core/dictionaries/ListEditing.h"

#include <algorithm>
#include <unordered_set>

namespace
{

bool Holds(const std::vector<std::string>& kinds, const std::string& kind)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

} // namespace

void CDocKindsList::NormaliseForCompare(std::string& kind)
{
    kind = ::NormaliseForCompare(kind);
}

bool CDocKindsList::AddKind(std::string_view typed, IReporter& reporter)
{
    std::string kind(typed);
    NormaliseForCompare(kind);
    if (kind.empty())
    {
        reporter.Report("Введите вид документа!", MessageIcon::Error);
        return false;
    }
    if (Holds(m_kinds, kind))
    {
        reporter.Report("Вид документа \"" + Cp1251ToUtf8(kind) + "\" уже находится в словаре!",
                        MessageIcon::Error);
        return false;
    }
    m_kinds.push_back(std::move(kind));
    return true;
}

bool CDocKindsList::ImportKinds(const std::string& path, KindsFileCodePage codePage, IReporter& reporter)
{
    std::string content;
    if (ReadWholeFile(path, kMaxSmallFileBytes, content).errorNumber != 0)
    {
        reporter.Report("Ошибка чтения файла!", MessageIcon::Error);
        return false;
    }
    std::vector<std::string> lines = SplitFileLines(content);
    if (codePage == KindsFileCodePage::Dos866)
    {
        for (std::string& line : lines)
            line = Cp866ToCp1251(line);
    }
    AppendNewKinds(std::move(lines));
    return true;
}

void CDocKindsList::AppendNewKinds(std::vector<std::string> kinds)
{
    // The search covers the kinds just appended, so a kind repeated in kinds is added once.
    std::unordered_set<std::string> present(m_kinds.begin(), m_kinds.end());
    for (std::string& kind : kinds)
    {
        if (present.insert(kind).second)
            m_kinds.push_back(std::move(kind));
    }
}

void CDocKindsList::RemoveKindsAt(const std::vector<int>& positions)
{
    EraseAtPositions(m_kinds, positions);
}

void CDocKindsList::SortKinds()
{
    // std::string compares as unsigned bytes: capitals of 1251 before small letters, Ё before А.
    std::sort(m_kinds.begin(), m_kinds.end());
}

void CDocKindsList::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar.WriteInt32(static_cast<std::int32_t>(m_kinds.size()));
        for (const std::string& kind : m_kinds)
            ar.WriteString(kind);
        return;
    }
    m_kinds.clear();
    const std::int32_t count = ar.ReadInt32();
    for (std::int32_t i = 0; i < count; ++i)
        m_kinds.push_back(ar.ReadString());
}
