#pragma once
// What the main window needs of the entry panel in its dock.

#include "core/toc/TocEntryRef.h"

#include <vector>

class IEntryPanel
{
public:
    virtual ~IEntryPanel() = default;
    // Shows one row per entry; keepPosition keeps the first visible row where it was.
    virtual void FillList(const std::vector<TocEntryRef>& entries, bool keepPosition) = 0;
};
