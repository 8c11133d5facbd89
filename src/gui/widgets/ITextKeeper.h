#pragma once
// Something that holds the editor's text in a form of its own (the document's lines), so that the
// undo history reads what a change removed from it instead of keeping a second copy of a large text.

#include <QString>
#include <QStringView>

class ITextKeeper
{
public:
    virtual ~ITextKeeper() = default;

    // The history reports every change of the text from now on, as Follow or Drop.
    virtual void Attached() = 0;
    // Whether the kept text is, character for character, the editor's text before the change being
    // reported (between changes: the text now).
    virtual bool KeepsText() const = 0;
    // Its length in the editor's characters, line breaks counted as one.
    virtual qsizetype KeptLength() const = 0;
    // length characters of the kept text from position, line breaks as "\n". position lies where the
    // text being reported as changed still agrees with the kept text: at the change or before it.
    virtual QString KeptText(qsizetype position, qsizetype length) const = 0;
    // The text changed: length characters at position became added (line breaks as "\n"). The keeper
    // follows, or keeps nothing from now on when it cannot.
    virtual void Follow(qsizetype position, qsizetype length, QStringView added) = 0;
    // The text changed in a way that was not followed.
    virtual void Drop() = 0;
};
