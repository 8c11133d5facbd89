#pragma once
// The editor view: the text of the open document in one fixed font, and the folder workflow around
// it (the queue of files, opening with processing, saving with backup and move, deleting to the
// trash). The window forwards commands here by id; availability is computed from the flags on demand.

#include "core/document/CDocumentFile.h"
#include "core/toc/TocEntryRef.h"
#include "core/workflow/SettingsFile.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CKestrelDoc;
class CEditCommands;
class CTextEditHistory;
class IPrompter;

class CKestrelView : public QPlainTextEdit
{
    Q_OBJECT
public:
    // settingsFolder: where "Kestrel.ini" is kept; empty means the executable's folder (with the
    // user's configuration folder as the fallback when that one is not writable).
    CKestrelView(CKestrelDoc& doc, IPrompter& prompter, const QString& settingsFolder,
                 QWidget* parent = nullptr);
    // Writes the settings file.
    ~CKestrelView() override;

    // The view's first set-up: no wrapping, the fixed font, the settings file read, empty history.
    void InitialUpdate();
    // The window has been shown: the empty start is not a change.
    void OnShown();

    // Commands by id; a command that is not available does nothing.
    bool HandlesCommand(int id) const;
    void OnCommand(int id);
    bool IsCommandEnabled(int id) const;
    bool IsCommandChecked(int id) const;

    // Opens one file and processes it.
    void OpenDocument(const std::string& path);
    // The save sequence: lines back into the document, move when asked, write with the backup.
    void SaveDocument();
    // Asks about a changed document before the program ends; false when the operator cancels.
    bool ConfirmSaveOnClose();

    // Replaces the queue by the files and opens the first (the open-files command).
    void OpenFiles(const QStringList& paths);
    // Adds the folder's *.rla files to the queue and opens the first (the open-folder command).
    void OpenFolder(const QString& folder);
    // Paths from the command line: files are queued, folders add their *.rla files; then the first opens.
    void OpenPaths(const QStringList& paths);
    void OpenNextDocument();
    void DeleteFileToTrash();

    std::vector<std::string> GetLines() const;
    // Replaces the whole text (not an undoable step: the history is emptied).
    void SetLines(const std::vector<std::string>& lines);
    // Rebuilds the entry list from the text and hands it to the panel.
    void RefreshEntries(bool keepPosition);
    void UpdateTitle();

    QString TitleText() const;
    const std::vector<TocEntryRef>& Entries() const { return m_entries; }
    CTextEditHistory& History() { return *m_history; }
    CDocumentFile& Document() { return m_document; }
    CKestrelDoc& Doc() { return m_doc; }

    // The dialogs the open commands show; tests replace them. Empty results mean cancel.
    std::function<QStringList()> m_askFilesToOpen;
    std::function<QString()> m_askFolderToOpen;

    CDocumentFile m_document;
    std::string m_currentPath; // file-system path (UTF-8); empty when no document is open
    bool m_modified = false;
    bool m_busy = false;
    bool m_savedSinceOpen = false;
    // The file as it was loaded is neither in a backup nor replaced by a save yet: a save that
    // failed leaves the backup owed, so the next save still makes it.
    bool m_backupOwed = false;
    std::deque<std::string> m_pendingFiles;

    bool m_autoSaveOnNext = false;
    bool m_makeBak = true;
    bool m_moveOnSave = false;
    QString m_processedFolder;

signals:
    // The flags behind command availability may have changed.
    void commandStateChanged();
    void titleChanged(const QString& title);
    // The entry list was rebuilt; the window hands it to the panel.
    void entriesUpdated(bool keepPosition);
    // Line (1-based), column (0-based) and line count, reported before the editor acts on an event.
    void positionReported(int line, int column, int lineCount);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Mouse events come through the viewport; each is preceded by a position report.
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void OnFileOpen();
    void OnOpenFolder();
    void OnOptions();
    void OpenFirstPending();
    void SortPending();
    void AppendFolderFiles(const QString& folder);
    void MoveToProcessedFolder();
    void CloseDocument();
    void ApplyCharFormat();
    void ReportPosition();
    void OnTextChanged();
    void LoadSettings();
    void SaveSettings();
    // The executable's folder and the user's configuration folder (both the test folder when one is set).
    std::pair<std::string, std::string> SettingsFolders() const;
    std::string SettingsWritePathFor() const;
    std::vector<std::string> SettingsReadPathsFor() const;
    // Runs a programmatic change as one undo step.
    void AsOneStep(const std::function<void()>& change);

    CKestrelDoc& m_doc;
    IPrompter& m_prompter;
    QString m_settingsFolder;
    CTextEditHistory* m_history;
    CEditCommands* m_editCommands; // a child of the view
    std::vector<TocEntryRef> m_entries;
    QFont m_charFormat;
    bool m_replacingText = false;
    bool m_canPaste = false;
};
