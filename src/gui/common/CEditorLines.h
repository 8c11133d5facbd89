#pragma once
// The editor text as code page 1251 lines (LinesOfEditorText of the raw text), kept with the
// document so that the view and the entry panel read a long text once and not on every command.
// Any change of the document drops the lines; they are read again when next asked for, unless the
// one who changed the text says what the lines became. Attached to the editor's undo history, the
// lines follow every change it reports while they show the text character for character, and are
// then the one copy of the text besides the document's own.

#include "core/entries/TocEntryCommands.h"
#include "gui/widgets/ITextKeeper.h"

#include <QObject>

#include <string>
#include <vector>

class QTextDocument;

class CEditorLines : public QObject, public ITextKeeper
{
    Q_OBJECT
public:
    // The lines of document, attached to it (and living as long as it) on first use.
    static CEditorLines& Of(QTextDocument& document);

    // The lines of the current text.
    const CTextLines& Lines();
    // True when Lines() needs no reading.
    bool IsCurrent() const { return m_current; }

    // The document's text was just set to EditorTextOfLines(lines): moved (not copied) into the
    // current lines when reading the text back gives exactly these lines; whether they were.
    bool TakeSetLines(CTextLines& lines);
    // The edits were just applied in their order to the document, every one of them, by
    // ApplyLineEdit on the lines that were current before: the lines follow without a reading.
    void FollowEdits(const std::vector<LineEdit>& edits);
    // The change the document is about to report is these edits, every one of them made by
    // ApplyLineEdit in one edit block: the lines then follow the edits instead of reading the
    // changed characters back (a batch over a long text reports one change spanning nearly all of
    // it). Null again once that change is reported or the block ends without one.
    void ExpectEdits(const std::vector<LineEdit>* edits) { m_expected = edits; }

    void Attached() override;
    bool KeepsText() const override { return m_exact; }
    qsizetype KeptLength() const override { return m_exactLength; }
    QString KeptText(qsizetype position, qsizetype length) const override;
    void Follow(qsizetype position, qsizetype length, QStringView added) override;
    void Drop() override { Forget(); }

private:
    explicit CEditorLines(QTextDocument& document);
    // The lines no longer are the text's, but are still those it had before its last change.
    void Forget();
    // The lines are nothing to follow from.
    void Lose();
    // The line and column of position, a place where the document and the lines still agree.
    std::pair<std::size_t, std::size_t> PlaceOf(qsizetype position) const;
    // Follow for a change that is the expected edits.
    void FollowExpected(const std::vector<LineEdit>& edits);
    // After a change: the last line dropped when empty, and the lines lost unless they give the
    // document's blocks and characters.
    void CheckAgainstDocument();

    QTextDocument& m_document;
    CTextLines m_lines;
    bool m_current = false;
    // Each line is one block of the document (no line separator inside a block), so the line
    // numbers of edits address the same text in both.
    bool m_linesAreBlocks = false;
    // The lines give the document's text back character for character (each byte one character,
    // each line one block); a last block that is empty is then not among the lines.
    bool m_exact = false;
    bool m_lastBlockDropped = false;
    qsizetype m_exactLength = 0;
    const std::vector<LineEdit>* m_expected = nullptr;
};
