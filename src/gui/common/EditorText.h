#pragma once
// The one bridge between the editor's Unicode text and the core's code page 1251 lines. Every byte
// is shown as a visible character, and typing that character gives the byte back; a character that
// no byte shows becomes "?".

#include "core/base/CTextLines.h"

#include <QString>
#include <QStringView>

#include <span>
#include <string>
#include <string_view>
#include <vector>

QString EditorTextOfLine(std::string_view line1251);
// EditorTextOfLine(line1251) added to the end of text, with no text of its own in between.
void AppendEditorText(QString& text, std::string_view line1251);
std::string LineOfEditorText(QStringView text);
// line becomes the bytes of text when each of its characters is the one a byte is shown by, so that
// EditorTextOfLine gives text back character for character (line's own storage is reused); false,
// with line holding nothing of use, when a character is no such one, a line break among them.
bool ExactLineOfEditorText(QStringView text, std::string& line);

// What the operator types or pastes, as the editor keeps it: typographic characters that the
// document's code page lacks become what would be typed on a DOS keyboard (quotes and guillemets
// ", apostrophes ', dashes and minus -, ellipsis ..., special spaces a blank, invisible marks such as
// soft hyphens nothing); any other character that no byte shows becomes "?" and is counted.
struct EditorInput
{
    QString text;
    int unkept = 0; // characters that became "?"
};
EditorInput KeepableInput(QStringView typed);

// The lines joined with "\n" (no line break after the last one).
QString EditorTextOfLines(std::span<const std::string> lines);
// The same of count lines of the text from line first on.
QString EditorTextOfLines(const CTextLines& lines, std::size_t first, std::size_t count);
// The text split at line breaks; a run of "\r" at the end of a piece is dropped, and an empty last
// piece is not a line (a text ending in a line break has no empty last line).
CTextLines LinesOfEditorText(const QString& text);
