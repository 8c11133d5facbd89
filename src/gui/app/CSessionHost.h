#pragma once
// The window's side of the document session: it owns the session, shows the progress window while a
// document is processed, moves files to the trash, shows the dialogs of the open and options
// commands, and knows where the settings file lives.

#include "core/workflow/CDocumentSession.h"
#include "core/workflow/IProcessingMonitor.h"
#include "core/workflow/ITrash.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CKestrelDoc;
class CKestrelView;
class CProgressWnd;
class IPrompter;

class CSessionHost : private ITrash, private IProcessingMonitor
{
public:
    // settingsFolder: where "Kestrel.ini" is kept; empty means the executable's folder (with the
    // user's configuration folder as the fallback when that one is not writable).
    CSessionHost(CKestrelView& editor, CKestrelDoc& doc, IPrompter& prompter, const QString& settingsFolder);
    ~CSessionHost() override;

    CDocumentSession& Session() { return m_session; }
    const CDocumentSession& Session() const { return m_session; }

    // The settings file into the session's settings and the document's dictionaries, and back.
    void LoadSettings();
    void SaveSettings();

    // The open-files, open-folder and options commands: their dialogs, then the session.
    void OnFileOpen();
    void OnOpenFolder();
    void OnOptions();

    // Replaces the dialogs of the open commands (tests do); an empty result means cancel.
    void SetOpenDialogs(std::function<QStringList()> askFiles, std::function<QString()> askFolder);

private:
    bool MoveToTrash(const std::string& path) override;
    void ProcessingStarted() override;
    void PumpMessages() override;
    void ProcessingEnded() override;

    // The executable's folder and the user's configuration folder (both the test folder when one is set).
    std::pair<std::string, std::string> SettingsFolders() const;

    CKestrelView& m_editor;
    CKestrelDoc& m_doc;
    IPrompter& m_prompter;
    QString m_settingsFolder;
    std::function<QStringList()> m_askFilesToOpen;
    std::function<QString()> m_askFolderToOpen;
    std::unique_ptr<CProgressWnd> m_progress;
    CDocumentSession m_session;
};
