#include "core/entries/CContentFilter.h"

#include "core/base/CArchive.h"

#include <algorithm>

namespace
{
int SlotOfLevel(int level)
{
    return std::clamp(level, 1, CContentFilter::kLevelCount) - 1;
}
} // namespace

CContentFilter::CContentFilter()
{
    m_levelShown.fill(1);
}

bool CContentFilter::IsLevelShown(int level) const
{
    return m_levelShown[SlotOfLevel(level)] != 0;
}

void CContentFilter::SetLevelShown(int level, bool shown)
{
    if (level >= 1 && level <= kLevelCount)
        m_levelShown[level - 1] = shown ? 1 : 0;
}

void CContentFilter::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        for (std::int32_t flag : m_levelShown)
            ar.WriteInt32(flag);
        return;
    }
    std::array<std::int32_t, kLevelCount> loaded{};
    for (std::int32_t& flag : loaded)
        flag = ar.ReadInt32();
    m_levelShown = loaded;
}
