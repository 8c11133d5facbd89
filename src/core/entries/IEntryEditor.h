#pragma once
// What the entry panel needs of the editor that shows the document: its lines, edits applied as
// one undoable change, scrolling, undo and redo, the level filter and the rebuild of the entry list.

#include "core/entries/TocEntryCommands.h"

#include <cstddef>
#include <string>
#include <vector>

class CContentFilter;
class CUpperCaseWordsDict;

class IEntryEditor
{
public:
    virtual ~IEntryEditor() = default;

    // The editor text as code page 1251 lines; valid until the text changes.
    virtual const CTextLines& Lines() const = 0;
    // Applies the edits in their order as one undoable step, without repainting in between.
    virtual void ApplyEdits(const std::vector<LineEdit>& edits) = 0;
    // Scrolls so that line is the first visible one (as far as the text allows); the caret stays.
    virtual void ShowLineAtTop(std::size_t line) = 0;

    virtual bool CanUndo() const = 0;
    virtual bool CanRedo() const = 0;
    // One step back or forward; the selection is collapsed to its start afterwards.
    virtual void Undo() = 0;
    virtual void Redo() = 0;

    // Builds the entry list from the current text with the filter and fills the panel with it.
    virtual void RefreshEntries(bool keepPosition) = 0;

    virtual CContentFilter& Filter() = 0;
    // The dictionary sentence case consults; may be null.
    virtual const CUpperCaseWordsDict* Words() const = 0;
};
