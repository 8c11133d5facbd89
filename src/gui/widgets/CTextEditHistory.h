#pragma once
// A bounded undo history for a QPlainTextEdit. The document's own history is switched off (it has no
// limit and merges typing); every change of the text is recorded instead as one command (position,
// removed text, added text) taken from contentsChange and the text as it was before the change: a
// keeper's (the document's lines) while it holds the text, else a shadow copy of the history's own.
// Changes made between BeginStep and EndStep form one step; any other change is a step of its own.

#include <QObject>
#include <QString>
#include <QUndoStack>

class ITextKeeper;
class QPlainTextEdit;

class CTextEditHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int kStepLimit = 100;

    explicit CTextEditHistory(QPlainTextEdit* editor);

    // From now on the keeper is told of every change and, while it holds the text, the history keeps
    // no copy of its own. The keeper outlives the history's use of it.
    void SetKeeper(ITextKeeper& keeper);

    // Nesting is allowed; the outermost pair delimits the step.
    void BeginStep();
    void EndStep();

    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    int StepCount() const;

    // Forgets every step and takes the current text as the new starting point (ending a pause).
    void Clear();
    // For a whole new text put in part by part: Pause forgets every step and records nothing until
    // Restart, which takes the editor's text by then as the new starting point.
    void Pause();
    void Restart();

signals:
    void availabilityChanged();

private:
    friend class CTextChangeCommand;

    void OnContentsChange(int position, int removed, int added);
    // Replaces length characters at position by text without recording it.
    void Apply(int position, int length, const QString& text);
    QString DocumentText(int position, int length) const;
    QString CurrentText() const;
    // The text as of the last recorded change: the keeper's while it holds it, else the shadow.
    bool KeeperHoldsText() const;
    qsizetype KnownLength() const;
    QString KnownText(qsizetype position, qsizetype length) const;
    // The text as of the last recorded change becomes the editor's text now, where length
    // characters at position became added.
    void Follow(int position, int length, const QString& added);
    // The editor's text now is the starting point.
    void StartFromCurrentText();

    QPlainTextEdit* m_editor;
    ITextKeeper* m_keeper = nullptr;
    QUndoStack m_stack;
    QString m_shadow; // the text as of the last recorded change, while no keeper holds it
    int m_depth = 0;
    bool m_macroOpen = false;
    bool m_applying = false;
    bool m_paused = false;
};
