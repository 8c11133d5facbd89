#pragma once
// The document session: the folder workflow around the editor. It keeps the queue of files still to
// be opened, the document being worked on with its flags and the four workflow settings, and runs
// open -> process -> save with backup -> move into the processed folder, and delete to the trash,
// with the checks, questions and messages of these steps. The editor's text, the trash and what is
// shown while a document is processed are reached through small interfaces; questions go through
// the prompter. Command availability is computed from the flags on demand.

#include "core/document/CDocumentFile.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/SavePlan.h"
#include "core/workflow/SessionSettings.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class IDocumentEditor;
class IProcessingMonitor;
class IPrompter;
class IReporter;
class ITrash;

class CDocumentSession
{
public:
    // Runs the recognition on a document's text lines, read as options say; pumpMessages is to be
    // called between the engine's steps. A refused text comes back as it was given. The lines are
    // the recognizer's to process in place and hand back as the result's.
    using Recognizer = std::function<ProcessResult(CTextLines lines, IReporter& reporter,
                                                   const std::function<void()>& pumpMessages,
                                                   const RecognitionOptions& options)>;

    CDocumentSession(IDocumentEditor& editor, IPrompter& prompter, ITrash& trash, IProcessingMonitor& monitor,
                     Recognizer recognizer);

    // Called whenever the title or the availability of a command may have changed.
    void SetStateListener(std::function<void()> listener) { m_stateListener = std::move(listener); }
    // Called with a warning (UTF-8) for the status line that needs no answer: a document just opened
    // holds bytes after its end-of-file mark, which a save leaves out.
    void SetNoticeListener(std::function<void(const std::string&)> listener)
    {
        m_noticeListener = std::move(listener);
    }
    // Called when an opened document has been processed and put into the editor.
    void SetProcessedListener(std::function<void(const ProcessResult&)> listener)
    {
        m_processedListener = std::move(listener);
    }

    // The open-files command: the queue becomes the files (made absolute), then the first opens.
    void OpenFiles(const std::vector<std::string>& paths);
    // The open-folder command: the folder's *.rla files join the queue, then the first opens.
    void OpenFolder(const std::string& folder);
    // Paths from the command line: files are queued, folders add their *.rla files; then the first opens.
    void OpenPaths(const std::vector<std::string>& paths);
    // Opens the front of the queue, which leaves the queue whatever becomes of it.
    void OpenNextDocument();
    // Opens one file and processes it, after asking about (or auto-saving) a changed document.
    void OpenDocument(const std::string& path);
    // The editor's lines back into the document, the move into the processed folder at the first
    // save when asked, and the write with the backup the opening still owes.
    void SaveDocument();
    // Reads the open document again from its file and processes it with the current recognition
    // options, after asking whether to save a changed text. What the first save after opening owes
    // (the backup of the file as opened, the move into the processed folder) stays as it was.
    void ReprocessDocument();
    // Asks, then moves the file to the trash and closes the document; the queue stays.
    void DeleteFileToTrash();
    // Asks about a changed document before the program ends; false when the operator cancels, or
    // asked for a save that failed.
    bool ConfirmSaveOnClose();

    // The operator changed the editor text.
    void TextChanged();
    // The window has been shown: the empty start is not a change.
    void WindowShown();

    bool IsBusy() const { return m_busy; }
    bool CanOpen() const { return !m_busy; }
    bool CanOpenNext() const { return !m_pendingFiles.empty() && !m_busy; }
    // Without a file there is nowhere to save to (nothing open, or the load failed).
    bool CanSave() const { return m_modified && !m_busy && !m_document.Path().empty(); }
    // The file being processed stays until the engine is done with it.
    bool CanDelete() const { return !m_document.Path().empty() && !m_busy; }
    bool CanReprocess() const { return !m_document.Path().empty() && !m_busy; }

    bool IsModified() const { return m_modified; }
    const std::string& CurrentPath() const { return m_document.Path(); }
    const std::deque<std::string>& PendingFiles() const { return m_pendingFiles; }
    const CDocumentFile& Document() const { return m_document; }
    // The main window's title (UTF-8): the product name, then the current path and "*" when changed.
    std::string Title() const;

    const SessionSettings& Settings() const { return m_settings; }
    void SetSettings(const SessionSettings& settings);
    void ToggleAutoSaveOnNext();
    void ToggleMakeBak();

    // How the documents opened from now on are read.
    const RecognitionOptions& Recognition() const { return m_recognition; }
    void SetRecognition(const RecognitionOptions& options) { m_recognition = options; }

private:
    void AppendFolderFiles(const std::string& folder);
    void OpenFirstPending();
    // Opens the queue's front and takes it out of the queue.
    void OpenFront();
    bool LeaveChangedDocument();
    // Loads and processes path with the busy flag up and the progress window shown. path is taken by
    // value: a failure closes the document, which clears the current path it may be a copy of.
    void ProcessWhileBusy(std::string path);
    void LoadAndProcess(const std::string& path);
    // Reports a file that could not be opened, with the reason, and closes what was opened of it.
    void FailedToOpen(const std::string& path, const std::string& reason);
    // Carries out a save's plan, saving in place when the move it holds is refused or fails, with
    // the messages of each; false when the text did not reach a file.
    bool CarryOut(const SavePlan& plan);
    bool SaveWithoutMove(const std::vector<FileOperation>& operations);
    void ReportMoveRefused(Refusal refusal);
    void TellAboutContentAfterEnd();
    void CloseDocument();
    void StateChanged();

    IDocumentEditor& m_editor;
    IPrompter& m_prompter;
    ITrash& m_trash;
    IProcessingMonitor& m_monitor;
    Recognizer m_recognizer;
    std::function<void()> m_stateListener;
    std::function<void(const std::string&)> m_noticeListener;
    std::function<void(const ProcessResult&)> m_processedListener;

    // Its path (UTF-8) is the session's current path: empty when no document is open.
    CDocumentFile m_document;
    bool m_modified = false;
    bool m_busy = false;
    bool m_savedSinceOpen = false;
    // The file as it was loaded is neither in a backup nor replaced by a save yet: a save that
    // failed leaves the backup owed, so the next save still makes it.
    bool m_backupOwed = false;
    // The recognition refused the document as already holding this program's table of contents.
    bool m_openedProcessed = false;
    std::deque<std::string> m_pendingFiles;
    SessionSettings m_settings;
    RecognitionOptions m_recognition;
};
