#pragma once

#include "core/toc/TocItem.h"

#include <utility>
#include <vector>

class CUpperCaseWordsDict;

// The ordered item list shared by the engine, the entry layout and the case converter.
class CTocItemList
{
public:
    explicit CTocItemList(const CUpperCaseWordsDict* words = nullptr) : m_words(words) {}
    virtual ~CTocItemList() = default;

    const std::vector<TocItem>& Items() const { return m_items; }
    std::vector<TocItem>& MutableItems() { return m_items; }
    void SetItems(std::vector<TocItem> items) { m_items = std::move(items); }
    // The dictionary entries are cased by; may be null.
    const CUpperCaseWordsDict* Words() const { return m_words; }

    void Append(const TocItem& item) { m_items.push_back(item); }

    // Stable: items with equal lines keep their order.
    void SortByLine();
    // Lays out every item's entry for the 66-column page (level line + text lines) from the text of
    // all its lines, so an entry laid out before must lose its level line first. Aligns the titles
    // of numbered entries of one level and kind up to the next kind-1 item; keeps kind, line, level
    // and the order of the items.
    void LayoutEntries();

private:
    std::vector<TocItem> m_items;
    const CUpperCaseWordsDict* m_words = nullptr;
};
