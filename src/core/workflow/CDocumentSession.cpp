#include "core/workflow/CDocumentSession.h"

#include "core/base/FileError.h"
#include "core/base/FileSystem.h"
#include "core/base/IPrompter.h"
#include "core/workflow/IDocumentEditor.h"
#include "core/workflow/IProcessingMonitor.h"
#include "core/workflow/ITrash.h"
#include "core/workflow/ProductName.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace
{
constexpr const char* kMoveFailed = "Ошибка переноса файла в папку для обработанных документов!";

std::string AbsolutePath(const std::string& path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// "*.rla" as the open-folder command matches it: any name with that extension, in any letter case.
bool HasDocumentExtension(const std::string& name)
{
    constexpr std::string_view extension = ".rla";
    if (name.size() < extension.size())
        return false;
    return std::equal(extension.begin(), extension.end(), name.end() - static_cast<long>(extension.size()),
                      [](char wanted, char actual)
                      { return wanted == (actual >= 'A' && actual <= 'Z' ? actual - 'A' + 'a' : actual); });
}

// Ends processing on every way out of it.
class ProcessingScope
{
public:
    explicit ProcessingScope(IProcessingMonitor& monitor) : m_monitor(monitor)
    {
        m_monitor.ProcessingStarted();
    }
    ~ProcessingScope() { m_monitor.ProcessingEnded(); }
    ProcessingScope(const ProcessingScope&) = delete;
    ProcessingScope& operator=(const ProcessingScope&) = delete;

private:
    IProcessingMonitor& m_monitor;
};
} // namespace

CDocumentSession::CDocumentSession(IDocumentEditor& editor, IPrompter& prompter, ITrash& trash,
                                   IProcessingMonitor& monitor, Recognizer recognizer)
    : m_editor(editor), m_prompter(prompter), m_trash(trash), m_monitor(monitor),
      m_recognizer(std::move(recognizer)), m_document(prompter)
{
    // A copy an interrupted save left that no longer fits the document goes where the operator can
    // take it back from.
    m_document.SetCopyRule(CopyRule::PutBack,
                           [this](const std::string& copy) { return m_trash.MoveToTrash(copy); });
}

void CDocumentSession::StateChanged()
{
    if (m_stateListener)
        m_stateListener();
}

// ---------------------------------------------------------------------------------------------
// The queue

void CDocumentSession::AppendFolderFiles(const std::string& folder)
{
    std::error_code error;
    for (fs::directory_iterator entries(AbsolutePath(folder), error);
         !error && entries != fs::directory_iterator(); entries.increment(error))
    {
        // A link to a file counts as the file; folders (whatever their name) and dangling links do not.
        if (HasDocumentExtension(entries->path().filename().string()) && entries->is_regular_file(error))
            m_pendingFiles.push_back(entries->path().lexically_normal().string());
    }
}

void CDocumentSession::OpenFiles(const std::vector<std::string>& paths)
{
    m_pendingFiles.clear();
    for (const std::string& path : paths)
        m_pendingFiles.push_back(AbsolutePath(path));
    OpenFirstPending();
}

void CDocumentSession::OpenFolder(const std::string& folder)
{
    AppendFolderFiles(folder);
    OpenFirstPending();
}

void CDocumentSession::OpenPaths(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
    {
        std::error_code error;
        if (fs::is_directory(path, error))
            AppendFolderFiles(path);
        else
            m_pendingFiles.push_back(AbsolutePath(path));
    }
    OpenFirstPending();
}

void CDocumentSession::OpenFirstPending()
{
    std::sort(m_pendingFiles.begin(), m_pendingFiles.end());
    // With nothing to open the current document stays as it is: an empty folder closes nothing.
    if (m_pendingFiles.empty())
        return;
    OpenFront();
    StateChanged();
}

void CDocumentSession::OpenFront()
{
    const std::string path = m_pendingFiles.front();
    OpenDocument(path);
    // The front leaves the queue whatever became of it; OpenDocument pumps events but the commands
    // that change the queue are unavailable meanwhile, so the front is still the path that was opened.
    if (!m_pendingFiles.empty() && m_pendingFiles.front() == path)
        m_pendingFiles.pop_front();
}

void CDocumentSession::OpenNextDocument()
{
    if (m_pendingFiles.empty())
        return;
    OpenFront();
    // A successful open marks the document changed anyway, unless it was refused as already
    // processed; after a failed load there is no document left to call changed.
    if (!m_document.Path().empty() && !m_openedProcessed)
        m_modified = true;
    StateChanged();
}

// ---------------------------------------------------------------------------------------------
// Opening, saving, moving, deleting

bool CDocumentSession::LeaveChangedDocument()
{
    if (!m_modified || m_document.Path().empty())
        return true;
    if (m_settings.autoSaveOnNext)
    {
        SaveDocument();
        return true;
    }
    const PromptAnswer answer =
        m_prompter.Ask("Текст документа был изменён.\nСохранить изменения?", PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel)
        return false;
    if (answer == PromptAnswer::Yes)
        SaveDocument();
    return true;
}

void CDocumentSession::OpenDocument(const std::string& path)
{
    if (path == m_document.Path())
    {
        m_prompter.Report("Файл " + path + " уже обрабатывается!", MessageIcon::Error);
        return;
    }
    if (!LeaveChangedDocument())
        return;

    // The document left is closed before the next is read: only one is held at a time.
    m_document.Clear();
    m_modified = true;
    m_savedSinceOpen = false;
    m_backupOwed = true;
    m_openedProcessed = false;
    ProcessWhileBusy(path);
}

void CDocumentSession::ProcessWhileBusy(std::string path)
{
    m_busy = true;
    StateChanged();
    {
        ProcessingScope processing(m_monitor);
        LoadAndProcess(path);
        m_busy = false;
    }
    StateChanged();
}

void CDocumentSession::LoadAndProcess(const std::string& path)
{
    const auto pumpMessages = [this]
    {
        m_monitor.PumpMessages();
        StateChanged();
    };
    m_editor.SetLines({}, pumpMessages);
    try
    {
        m_document.Load(path);
    }
    catch (const DocumentFileError& error)
    {
        FailedToOpen(path, FileErrorText(error.Error()));
        return;
    }
    catch (const std::exception& failure)
    {
        FailedToOpen(path, FileErrorText({FileAction::Open, path, 0, failure.what()}));
        return;
    }
    catch (...)
    {
        FailedToOpen(path, {});
        return;
    }

    try
    {
        // The document's lines become the editor's: a large text is held once, not once more by the
        // document. A save takes the text from the editor again.
        ProcessResult result = m_recognizer(std::exchange(m_document.MutableTextLines(), {}), m_prompter,
                                            pumpMessages, m_recognition);
        m_editor.TakeLines(std::exchange(result.lines, {}), pumpMessages);
        // A document refused as already processed is shown as it is: nothing to save.
        m_openedProcessed = result.refused;
        m_modified = !result.refused;
        if (m_processedListener)
            m_processedListener(result);
        TellAboutContentAfterEnd();
    }
    catch (const std::exception& failure)
    {
        // Whatever went wrong (memory, a fault in the engine), busy must end with OpenDocument.
        m_prompter.ReportWithReason("Ошибка обработки документа " + path, ProcessingFailureReason(failure),
                                    MessageIcon::Error);
        CloseDocument();
    }
    catch (...)
    {
        m_prompter.Report("Ошибка обработки документа " + path, MessageIcon::Error);
        CloseDocument();
    }
}

void CDocumentSession::FailedToOpen(const std::string& path, const std::string& reason)
{
    m_prompter.ReportWithReason("Ошибка открытия файла " + path, reason, MessageIcon::Error);
    // Nothing of the failed file stays open: no path, nothing to save.
    CloseDocument();
}

void CDocumentSession::ReprocessDocument()
{
    if (!CanReprocess())
        return;
    // Always a question, auto-save or not: saving first would put this table of contents into the
    // file, and the file would then be refused for it instead of read afresh.
    if (m_modified)
    {
        const PromptAnswer answer =
            m_prompter.Ask("Текст документа был изменён.\nСохранить изменения?", PromptButtons::YesNoCancel);
        if (answer == PromptAnswer::Cancel)
            return;
        if (answer == PromptAnswer::Yes)
            SaveDocument();
        // A save that failed leaves the changes in the editor only: they are not read over.
        if (answer == PromptAnswer::Yes && m_modified)
            return;
    }
    m_modified = true;
    ProcessWhileBusy(m_document.Path());
}

void CDocumentSession::TellAboutContentAfterEnd()
{
    const std::uint64_t bytes = m_document.ContentAfterEndBytes();
    if (bytes == 0 || !m_noticeListener)
        return;
    std::string text = "Внимание: после символа конца файла (0x1A) в файле ещё " + std::to_string(bytes) +
                       " байт. Они не входят в документ и при сохранении не будут записаны";
    text += m_settings.makeBak ? "; их сохранит резервный файл." : ".";
    m_noticeListener(text);
}

void CDocumentSession::SaveDocument()
{
    m_modified = false;
    m_document.SetTextLines(m_editor.GetLines());
    // A document is moved at most once per opening: at its first save.
    const bool moving = m_settings.moveOnSave && !m_savedSinceOpen;
    SaveRequest request;
    request.destination = moving ? SaveDestination::ProcessedFolder : SaveDestination::InPlace;
    request.source = m_document.Path();
    if (moving && !m_settings.processedFolder.empty())
        request.target = m_settings.processedFolder + "/" + NameOf(m_document.Path());
    request.backup = m_settings.makeBak && m_backupOwed ? BackupRule::Wanted : BackupRule::None;
    // The file already holds exactly this: nothing is written, moved or backed up, no date moves.
    request.changed = m_document.SaveWouldChangeFile() || !m_document.IsUnchangedOnDisk(m_document.Path());
    // The backup keeps the document as it was before this program worked on it: a document that
    // already held this program's table of contents never takes the place of a backup there is.
    request.keepExistingBackup = m_openedProcessed;
    const SavePlan plan = PlanSave(m_document, request, EditorSavePolicy());
    if (plan.HasNothingToDo())
    {
        StateChanged();
        return;
    }
    // A text that did not reach the file still counts as changed, so Save stays offered and leaving
    // the document still asks; the file as loaded is then still owed its backup.
    if (CarryOut(plan))
        m_backupOwed = false;
    else
        m_modified = true;
    m_savedSinceOpen = true;
    StateChanged();
}

bool CDocumentSession::CarryOut(const SavePlan& plan)
{
    if (plan.fallback.empty())
        return SaveWithoutMove(plan.operations);
    if (plan.IsRefused())
    {
        ReportMoveRefused(plan.operations.front().refusal);
        return SaveWithoutMove(plan.fallback);
    }
    const SavePlanResult moved = ExecuteSavePlan(plan.operations, m_document, m_trash);
    if (!moved.done)
        m_prompter.ReportWithReason(kMoveFailed, FileErrorText(moved.error), MessageIcon::Error);
    if (!moved.done && !moved.atDestination)
        return SaveWithoutMove(plan.fallback);
    // Whatever failed after the write (a source another program changed meanwhile stays where it
    // is), the text saved is in the processed folder, and the document with it.
    return true;
}

bool CDocumentSession::SaveWithoutMove(const std::vector<FileOperation>& operations)
{
    if (operations.empty() || operations.front().kind == FileOperationKind::NothingToDo)
        return true;
    // A read-only file fails the save as Save itself fails it.
    if (operations.front().kind == FileOperationKind::Refuse)
    {
        m_prompter.ReportWithReason("Ошибка сохранения файла " + m_document.Path() + "!",
                                    FileErrorText(ReadOnlyDocument(m_document.Path())), MessageIcon::Error);
        return false;
    }
    // Save reports its own failures.
    return ExecuteSavePlan(operations, m_document, m_trash).done;
}

void CDocumentSession::ReportMoveRefused(Refusal refusal)
{
    switch (refusal)
    {
    case Refusal::NoProcessedFolder:
        m_prompter.Report(
            "Папка для обработанных документов не задана!\nУкажите папку в пункте меню\"Сервис->Параметры\"",
            MessageIcon::Error);
        return;
    case Refusal::AlreadyInFolder:
        m_prompter.Report(
            "Перенос файла невозможен так как сохраняемый файл уже находится в папке для обработанных "
            "документов!\nУкажите другую папку в пункте меню\"Сервис->Параметры\"",
            MessageIcon::Error);
        return;
    case Refusal::ChangedOnDisk:
        // The save in place that follows says so, and keeps the file and the text.
        return;
    default:
        m_prompter.Report(kMoveFailed, MessageIcon::Error);
        return;
    }
}

void CDocumentSession::DeleteFileToTrash()
{
    if (m_document.Path().empty())
        return;
    // The freedesktop trash never asks, so the question is always the session's own.
    if (m_prompter.Ask("Удалить файл в корзину?", PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    if (!m_trash.MoveToTrash(m_document.Path()))
    {
        m_prompter.Report("Не удалось удалить файл " + m_document.Path() + " в корзину.", MessageIcon::Error);
        return;
    }
    CloseDocument();
}

void CDocumentSession::CloseDocument()
{
    m_modified = false;
    m_editor.ClearText();
    m_document.Clear();
    StateChanged();
}

bool CDocumentSession::ConfirmSaveOnClose()
{
    if (!m_modified || m_document.Path().empty())
        return true;
    const PromptAnswer answer =
        m_prompter.Ask("Сохранить документ в файл " + m_document.Path() + "?", PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel)
        return false;
    if (answer == PromptAnswer::Yes)
    {
        SaveDocument();
        // A save that failed leaves the changes in the editor only: the program does not end on them.
        return !m_modified;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Flags and settings

void CDocumentSession::TextChanged()
{
    m_modified = true;
    StateChanged();
}

void CDocumentSession::WindowShown()
{
    m_modified = false;
    StateChanged();
}

std::string CDocumentSession::Title() const
{
    std::string title = kProductName;
    if (m_document.Path().empty())
        return title;
    title += " - " + m_document.Path();
    if (m_modified)
        title += '*';
    return title;
}

void CDocumentSession::SetSettings(const SessionSettings& settings)
{
    m_settings = settings;
    StateChanged();
}

void CDocumentSession::ToggleAutoSaveOnNext()
{
    m_settings.autoSaveOnNext = !m_settings.autoSaveOnNext;
    StateChanged();
}

void CDocumentSession::ToggleMakeBak()
{
    m_settings.makeBak = !m_settings.makeBak;
    StateChanged();
}
