#pragma once
// Helpers of the editor tests: documents written as .rla files, files read back, a main window
// with a scripted prompter and its own settings folder.

#include "core/workflow/CDocumentSession.h"
#include "gui/app/CMainFrame.h"
#include "support/CScriptedPrompter.h"
#include "support/TestSupport.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFilterDlg;

// Writes a document with a minimal header ($100 and $18) and the given text lines (UTF-8) in code
// page 866, CR LF.
void WriteDocument(const QString& path, const std::vector<std::string>& utf8TextLines);
QByteArray ReadBytes(const QString& path);
// The UTF-8 text of a document file's text lines, as the editor would show them.
std::vector<std::string> DocumentText(const QString& path);

// A main window over a temporary folder that holds the settings file and the documents.
struct TestWindow
{
    TestWindow();
    explicit TestWindow(const QString& settingsFolder);

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    CKestrelView& View() const;
    CDocumentSession& Session() const;

    QTemporaryDir m_dir;
    CScriptedPrompter m_prompter;
    std::unique_ptr<CMainFrame> m_frame;
};

// The sample law (samples/law_sections_articles.rla) with the table of contents the recognition
// writes for it, as code page 1251 lines.
std::vector<std::string> ProcessedSample();

// The editor text as UTF-8 lines.
std::vector<std::string> EditorLines(const CKestrelView& view);

// Once the event loop next runs, does the operator's actions on the filter dialog that is shown
// modally by then.
void ActOnFilterDialog(std::function<void(CFilterDlg&)> actions);
// Clicks the push button of widget that has the object name.
void ClickButton(QWidget& widget, const char* name);
