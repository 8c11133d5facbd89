#pragma once
// The editor text as code page 1251 lines (LinesOfEditorText of the raw text), kept with the
// document so that the view and the entry panel read a long text once and not on every command.
// Any change of the document drops the lines; they are read again when next asked for, unless the
// one who changed the text says what the lines became.

#include "core/entries/TocEntryCommands.h"

#include <QObject>

#include <string>
#include <vector>

class QTextDocument;

class CEditorLines : public QObject
{
    Q_OBJECT
public:
    // The lines of document, attached to it (and living as long as it) on first use.
    static CEditorLines& Of(QTextDocument& document);

    // The lines of the current text.
    const std::vector<std::string>& Lines();
    // True when Lines() needs no reading.
    bool IsCurrent() const { return m_current; }

    // The document's text was just set to EditorTextOfLines(lines): taken as the current lines when
    // reading the text back gives exactly these lines.
    void TakeSetLines(const std::vector<std::string>& lines);
    // The edits were just applied in their order to the document, every one of them, by
    // ApplyLineEdit on the lines that were current before: the lines follow without a reading.
    void FollowEdits(const std::vector<LineEdit>& edits);

private:
    explicit CEditorLines(QTextDocument& document);
    void Forget();

    QTextDocument& m_document;
    std::vector<std::string> m_lines;
    bool m_current = false;
    // Each line is one block of the document (no line separator inside a block), so the line
    // numbers of edits address the same text in both.
    bool m_linesAreBlocks = false;
};
