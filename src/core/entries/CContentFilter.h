#pragma once
// The level filter of the entry panel: which of the levels 1 to 8 are listed.

#include <array>
#include <cstdint>

class CArchive;

class CContentFilter
{
public:
    static constexpr int kLevelCount = 8;

    // Every level shown.
    CContentFilter();

    // True when entries of level (1-based) are listed. Level 8 stands for every level deeper than 8
    // as well, so a deep entry is seen whenever the deepest level is; a level below 1 counts as 1.
    bool IsLevelShown(int level) const;
    // level 1 to 8; any other level is ignored.
    void SetLevelShown(int level, bool shown);

    // Stores or loads the eight flags as 32-bit little-endian integers, element 0 first. A load that
    // fails (CArchiveException) leaves the filter unchanged; values are kept as read (non-zero shows).
    void Serialize(CArchive& ar);

    bool operator==(const CContentFilter&) const = default;

    // Element i is non-zero when level i + 1 is shown, 0 when it is hidden.
    using LevelFlags = std::array<std::int32_t, kLevelCount>;
    const LevelFlags& LevelsShown() const { return m_levelShown; }
    void SetLevelsShown(const LevelFlags& shown) { m_levelShown = shown; }

private:
    LevelFlags m_levelShown;
};
