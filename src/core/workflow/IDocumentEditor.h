#pragma once
// What the document session needs of the editor: its text as lines (code page 1251), replaced whole
// when a document opens and emptied when one is deleted.

#include "core/base/CTextLines.h"

#include <functional>

class IDocumentEditor
{
public:
    virtual ~IDocumentEditor() = default;
    // The editor text split into lines; a text ending in a line break has no empty last line.
    virtual CTextLines GetLines() const = 0;
    // Replaces the whole text and rebuilds the entry list from it. Not an undoable step and not a
    // change by the operator: the undo history is emptied. A long text may go in part by part, with
    // pumpMessages (when given) called in between so that the window stays alive.
    virtual void SetLines(const CTextLines& lines,
                          const std::function<void()>& pumpMessages) = 0;
    // SetLines for lines the caller has no further use for: an editor that keeps the text as lines
    // takes them over instead of holding a copy.
    virtual void TakeLines(CTextLines&& lines, const std::function<void()>& pumpMessages)
    {
        SetLines(lines, pumpMessages);
    }
    // Empties the text, its undo history and the entry list.
    virtual void ClearText() = 0;
};
