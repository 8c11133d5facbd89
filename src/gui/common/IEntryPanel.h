#pragma once
// What the main window needs of the entry panel in its dock.

#include "core/remarks/Remarks.h"
#include "core/toc/TocEntryRef.h"

#include <cstddef>
#include <vector>

class IEntryPanel
{
public:
    virtual ~IEntryPanel() = default;
    // Shows one row per entry; keepPosition keeps the first visible row where it was.
    virtual void FillList(const std::vector<TocEntryRef>& entries, bool keepPosition) = 0;
    // Marks the rows of the list last filled whose blocks the remarks are about (Remark::oglLine); given
    // after every fill, with the remarks on the same text. A panel that shows no remarks ignores them.
    virtual void ShowRemarks(const std::vector<Remark>& /*remarks*/) {}
    // Marks only the row of the block whose ОГЛ line is oglLine and brings it into view; nothing is
    // marked when no row shows that block.
    virtual void SelectEntry(std::size_t /*oglLine*/) {}
};
