#include "gui/app/CKestrelView.h"

#include "core/base/CodePage.h"
#include "core/base/IPrompter.h"
#include "core/entries/TocEntryList.h"
#include "gui/app/CEditCommands.h"
#include "gui/app/CFolderChooser.h"
#include "gui/app/CKestrelDoc.h"
#include "gui/app/CommandIds.h"
#include "gui/app/COptionsDlg.h"
#include "gui/app/CProgressWnd.h"
#include "gui/common/CEditorLines.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QStandardPaths>
#include <QTextBlock>

#include <algorithm>
#include <exception>
#include <memory>

namespace
{
const char* const kProductName = "Тирвель";

QString FromPath(const std::string& path)
{
    return QString::fromStdString(path);
}

std::string ToPath(const QString& path)
{
    return path.toStdString();
}

bool IsUndoKey(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Undo) ||
           (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::AltModifier);
}

bool IsRedoKey(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Redo) ||
           (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier);
}

// The trash implementation of Qt falls back to a "files" folder under the current folder when the
// user's data folder is missing, and still reports success; only a place inside a trash counts.
bool MoveToTrash(const QString& path)
{
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString placedAt;
    if (!QFile::moveToTrash(path, &placedAt))
        return false;
    return QFileInfo(placedAt).isAbsolute() &&
           (placedAt.contains(QStringLiteral("/Trash/")) || placedAt.contains(QStringLiteral("/.Trash-")));
}
} // namespace

CKestrelView::CKestrelView(CKestrelDoc& doc, IPrompter& prompter, const QString& settingsFolder,
                           QWidget* parent)
    : QPlainTextEdit(parent), m_document(prompter), m_doc(doc), m_prompter(prompter),
      m_settingsFolder(settingsFolder)
{
    m_doc.SetView(this);
    m_history = new CTextEditHistory(this);
    m_editCommands = new CEditCommands(*this, *m_history);
    m_charFormat = QFont(QStringLiteral("Courier New"));
    m_charFormat.setPointSize(10);
    m_charFormat.setStyleHint(QFont::TypeWriter);
    m_charFormat.setFixedPitch(true);
    m_charFormat.setBold(false);

    m_askFilesToOpen = [this]
    {
        return QFileDialog::getOpenFileNames(
            this, QString(), QDir::currentPath(),
            QStringLiteral("Файлы в исходном формате (*.rla);;Все файлы (*)"));
    };
    m_askFolderToOpen = [this]
    {
        CFolderChooser chooser(QStringLiteral("Выбор папки"),
                               QStringLiteral("Выберете папку с файлами в исходном формате"),
                               QDir::currentPath(), this, m_prompter);
        return chooser.Choose() ? chooser.Result() : QString();
    };

    connect(document(), &QTextDocument::contentsChanged, this, &CKestrelView::OnTextChanged);
    connect(m_history, &CTextEditHistory::availabilityChanged, this, &CKestrelView::commandStateChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CKestrelView::commandStateChanged);
    // Asking the clipboard may mean a round trip to another program: ask when it changes, not on
    // every key.
    m_canPaste = canPaste();
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this]
            {
                m_canPaste = canPaste();
                emit commandStateChanged();
            });
}

CKestrelView::~CKestrelView()
{
    SaveSettings();
}

void CKestrelView::InitialUpdate()
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    selectAll();
    ApplyCharFormat();
    moveCursor(QTextCursor::Start);
    LoadSettings();
    m_history->Clear();
}

void CKestrelView::OnShown()
{
    m_modified = false;
    UpdateTitle();
}

// ---------------------------------------------------------------------------------------------
// Settings

std::pair<std::string, std::string> CKestrelView::SettingsFolders() const
{
    if (!m_settingsFolder.isEmpty())
        return {ToPath(m_settingsFolder), ToPath(m_settingsFolder)};
    return {ToPath(QCoreApplication::applicationDirPath()),
            ToPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))};
}

std::string CKestrelView::SettingsWritePathFor() const
{
    const auto [exeDir, configDir] = SettingsFolders();
    return SettingsWritePath(exeDir, configDir);
}

std::vector<std::string> CKestrelView::SettingsReadPathsFor() const
{
    const auto [exeDir, configDir] = SettingsFolders();
    return SettingsReadPaths(exeDir, configDir);
}

void CKestrelView::LoadSettings()
{
    WorkflowSettings settings;
    ReadSettingsFile(SettingsReadPathsFor(), settings, m_doc.m_words, m_doc.m_kinds);
    m_autoSaveOnNext = settings.m_autoSaveOnNext != 0;
    m_makeBak = settings.m_makeBak != 0;
    m_moveOnSave = settings.m_moveOnSave != 0;
    // The file keeps the folder in code page 1251; the file system speaks UTF-8.
    m_processedFolder = QString::fromStdString(Cp1251ToUtf8(settings.m_processedFolder));
}

void CKestrelView::SaveSettings()
{
    WorkflowSettings settings;
    settings.m_autoSaveOnNext = m_autoSaveOnNext ? 1 : 0;
    settings.m_makeBak = m_makeBak ? 1 : 0;
    settings.m_moveOnSave = m_moveOnSave ? 1 : 0;
    settings.m_processedFolder = Utf8ToCp1251(m_processedFolder.toStdString());
    WriteSettingsFile(SettingsWritePathFor(), settings, m_doc.m_words, m_doc.m_kinds, m_prompter);
}

// ---------------------------------------------------------------------------------------------
// Commands

bool CKestrelView::HandlesCommand(int id) const
{
    switch (id)
    {
    case CommandId::FileOpen:
    case CommandId::OpenFolder:
    case CommandId::NextDocument:
    case CommandId::FileSave:
    case CommandId::DeleteFile:
    case CommandId::UpdateToc:
    case CommandId::AutoSave:
    case CommandId::MakeBak:
    case CommandId::Options:
    case CommandId::DocKindsDict:
    case CommandId::UpperCaseWordsDict:
    case CommandId::EditUndo:
    case CommandId::EditRedo:
    case CommandId::EditCut:
    case CommandId::EditCopy:
    case CommandId::EditPaste:
    case CommandId::EditSelectAll:
        return true;
    default:
        return CEditCommands::Handles(id);
    }
}

bool CKestrelView::IsCommandEnabled(int id) const
{
    switch (id)
    {
    case CommandId::FileOpen:
    case CommandId::OpenFolder:
    case CommandId::Options:
    // The engine reads the dictionaries while it runs.
    case CommandId::DocKindsDict:
    case CommandId::UpperCaseWordsDict:
        return !m_busy;
    case CommandId::NextDocument:
        return !m_pendingFiles.empty() && !m_busy;
    case CommandId::FileSave:
        // Without a file there is nowhere to save to (nothing open, or the load failed).
        return m_modified && !m_busy && !m_currentPath.empty();
    case CommandId::DeleteFile:
        // The file being processed stays until the engine is done with it.
        return !m_currentPath.empty() && !m_busy;
    case CommandId::UpdateToc:
    case CommandId::AutoSave:
    case CommandId::MakeBak:
    case CommandId::EditCut:
    case CommandId::EditCopy:
    case CommandId::EditSelectAll:
        return true;
    case CommandId::EditUndo:
        return m_history->CanUndo();
    case CommandId::EditRedo:
        return m_history->CanRedo();
    case CommandId::EditPaste:
        return m_canPaste;
    default:
        return CEditCommands::Handles(id) && m_editCommands->IsEnabled(id);
    }
}

bool CKestrelView::IsCommandChecked(int id) const
{
    if (id == CommandId::AutoSave)
        return m_autoSaveOnNext;
    if (id == CommandId::MakeBak)
        return m_makeBak;
    return false;
}

void CKestrelView::OnCommand(int id)
{
    if (!IsCommandEnabled(id))
        return;
    switch (id)
    {
    case CommandId::FileOpen:
        OnFileOpen();
        break;
    case CommandId::OpenFolder:
        OnOpenFolder();
        break;
    case CommandId::NextDocument:
        OpenNextDocument();
        break;
    case CommandId::FileSave:
        SaveDocument();
        break;
    case CommandId::DeleteFile:
        DeleteFileToTrash();
        break;
    case CommandId::UpdateToc:
        RefreshEntries(true);
        break;
    case CommandId::AutoSave:
        m_autoSaveOnNext = !m_autoSaveOnNext;
        break;
    case CommandId::MakeBak:
        m_makeBak = !m_makeBak;
        break;
    case CommandId::Options:
        OnOptions();
        break;
    case CommandId::DocKindsDict:
        m_doc.OnDocKindsDict(m_prompter, this);
        break;
    case CommandId::UpperCaseWordsDict:
        m_doc.OnUpperCaseWordsDict(m_prompter, this);
        break;
    case CommandId::EditUndo:
        m_history->Undo();
        break;
    case CommandId::EditRedo:
        m_history->Redo();
        break;
    case CommandId::EditCut:
        AsOneStep([this] { cut(); });
        break;
    case CommandId::EditCopy:
        copy();
        break;
    case CommandId::EditPaste:
        AsOneStep([this] { paste(); });
        break;
    case CommandId::EditSelectAll:
        selectAll();
        break;
    default:
        if (CEditCommands::Handles(id))
            m_editCommands->Run(id);
        break;
    }
    emit commandStateChanged();
}

void CKestrelView::OnFileOpen()
{
    const QStringList paths = m_askFilesToOpen();
    if (paths.isEmpty())
        return;
    OpenFiles(paths);
}

void CKestrelView::OnOpenFolder()
{
    const QString folder = m_askFolderToOpen();
    if (folder.isEmpty())
        return;
    OpenFolder(folder);
}

void CKestrelView::OnOptions()
{
    COptionsDlg dialog(this, m_prompter);
    dialog.m_autoSaveOnNext = m_autoSaveOnNext;
    dialog.m_makeBak = m_makeBak;
    dialog.m_moveOnSave = m_moveOnSave;
    dialog.m_processedFolder = m_processedFolder;
    dialog.ShowCopies();
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_autoSaveOnNext = dialog.m_autoSaveOnNext;
    m_makeBak = dialog.m_makeBak;
    m_moveOnSave = dialog.m_moveOnSave;
    m_processedFolder = dialog.m_processedFolder;
}

// ---------------------------------------------------------------------------------------------
// The queue

void CKestrelView::SortPending()
{
    std::sort(m_pendingFiles.begin(), m_pendingFiles.end());
}

void CKestrelView::AppendFolderFiles(const QString& folder)
{
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.rla")}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& file : files)
        m_pendingFiles.push_back(ToPath(file.absoluteFilePath()));
}

void CKestrelView::OpenFiles(const QStringList& paths)
{
    m_pendingFiles.clear();
    for (const QString& path : paths)
        m_pendingFiles.push_back(ToPath(QFileInfo(path).absoluteFilePath()));
    OpenFirstPending();
}

void CKestrelView::OpenFolder(const QString& folder)
{
    AppendFolderFiles(folder);
    OpenFirstPending();
}

void CKestrelView::OpenPaths(const QStringList& paths)
{
    for (const QString& path : paths)
    {
        if (QFileInfo(path).isDir())
            AppendFolderFiles(path);
        else
            m_pendingFiles.push_back(ToPath(QFileInfo(path).absoluteFilePath()));
    }
    OpenFirstPending();
}

void CKestrelView::OpenFirstPending()
{
    SortPending();
    // With nothing to open the current document stays as it is: an empty folder closes nothing.
    if (m_pendingFiles.empty())
        return;
    const std::string path = m_pendingFiles.front();
    OpenDocument(path);
    // The front leaves the queue whatever became of it; OpenDocument pumps events but the open
    // commands are unavailable meanwhile, so the front is still the path that was opened.
    if (!m_pendingFiles.empty() && m_pendingFiles.front() == path)
        m_pendingFiles.pop_front();
    emit commandStateChanged();
}

void CKestrelView::OpenNextDocument()
{
    if (m_pendingFiles.empty())
        return;
    const std::string path = m_pendingFiles.front();
    OpenDocument(path);
    if (!m_pendingFiles.empty() && m_pendingFiles.front() == path)
        m_pendingFiles.pop_front();
    // A successful open marks the document changed anyway; after a failed load there is no
    // document left to call changed.
    if (!m_currentPath.empty())
        m_modified = true;
    UpdateTitle();
    emit commandStateChanged();
}

// ---------------------------------------------------------------------------------------------
// Opening, saving, moving, deleting

void CKestrelView::OpenDocument(const std::string& path)
{
    if (path == m_currentPath)
    {
        m_prompter.Report("Файл " + path + " уже обрабатывается!", MessageIcon::Error);
        return;
    }
    if (m_modified && !m_currentPath.empty())
    {
        if (m_autoSaveOnNext)
            SaveDocument();
        else
        {
            const PromptAnswer answer = m_prompter.Ask("Текст документа был изменён.\nСохранить изменения?",
                                                       PromptButtons::YesNoCancel);
            if (answer == PromptAnswer::Cancel)
                return;
            if (answer == PromptAnswer::Yes)
                SaveDocument();
        }
    }

    m_modified = true;
    m_currentPath = path;
    m_busy = true;
    m_savedSinceOpen = false;
    m_backupOwed = true;
    emit commandStateChanged();

    CProgressWnd progress(QStringLiteral("Конвертирование оглавлений"), window());
    QCoreApplication::processEvents();
    SetLines({});
    try
    {
        m_document.Load(path);
    }
    catch (...)
    {
        m_prompter.Report("Ошибка открытия файла " + path, MessageIcon::Error);
        // Nothing of the failed file stays open: no path, nothing to save.
        CloseDocument();
        m_busy = false;
        emit commandStateChanged();
        return;
    }

    try
    {
        std::vector<std::string> lines = m_document.m_textLines;
        m_doc.ProcessDocument(lines, m_prompter,
                              [this]
                              {
                                  QCoreApplication::processEvents();
                                  emit commandStateChanged();
                              });
        SetLines(lines);
        m_modified = true;
    }
    catch (...)
    {
        // Whatever went wrong (memory, a fault in the engine), busy must end with OpenDocument.
        m_prompter.Report("Ошибка обработки документа " + path, MessageIcon::Error);
        CloseDocument();
    }
    UpdateTitle();
    m_busy = false;
    emit commandStateChanged();
}

void CKestrelView::SaveDocument()
{
    m_modified = false;
    m_document.m_textLines = GetLines();
    if (m_moveOnSave)
        MoveToProcessedFolder();
    // Save reports its own failures; a text that did not reach the file still counts as changed,
    // so Save stays offered and leaving the document still asks.
    if (m_document.Save(m_makeBak && m_backupOwed))
        m_backupOwed = false;
    else
        m_modified = true;
    m_savedSinceOpen = true;
    UpdateTitle();
    emit commandStateChanged();
}

void CKestrelView::MoveToProcessedFolder()
{
    if (m_savedSinceOpen)
        return;
    if (m_processedFolder.isEmpty())
    {
        m_prompter.Report(
            "Папка для обработанных документов не задана!\nУкажите папку в пункте меню\"Сервис->Параметры\"",
            MessageIcon::Error);
        return;
    }
    const std::size_t slash = m_currentPath.rfind('/');
    const std::string name = slash == std::string::npos ? m_currentPath : m_currentPath.substr(slash + 1);
    const std::string destination = ToPath(m_processedFolder) + "/" + name;
    if (destination == m_currentPath)
    {
        m_prompter.Report(
            "Перенос файла невозможен так как сохраняемый файл уже находится в папке для обработанных "
            "документов!\nУкажите другую папку в пункте меню\"Сервис->Параметры\"",
            MessageIcon::Error);
        return;
    }
    if (!CDocumentFile::MoveFileReplacing(m_currentPath, destination))
    {
        m_prompter.Report("Ошибка переноса файла в папку для обработанных документов!", MessageIcon::Error);
        return;
    }
    m_currentPath = destination;
    m_document.m_path = destination;
}

void CKestrelView::DeleteFileToTrash()
{
    if (m_currentPath.empty())
        return;
    // The freedesktop trash never asks, so the question is always the view's own.
    if (m_prompter.Ask("Удалить файл в корзину?", PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    if (!MoveToTrash(FromPath(m_currentPath)))
    {
        m_prompter.Report("Не удалось удалить файл " + m_currentPath + " в корзину.", MessageIcon::Error);
        return;
    }
    CloseDocument();
}

void CKestrelView::CloseDocument()
{
    m_currentPath.clear();
    m_modified = false;
    m_replacingText = true;
    setPlainText(QString());
    m_replacingText = false;
    m_history->Clear();
    m_document.Clear();
    m_currentPath.clear();
    m_modified = false;
    m_entries.clear();
    RefreshEntries(false);
    UpdateTitle();
    emit commandStateChanged();
}

bool CKestrelView::ConfirmSaveOnClose()
{
    if (!m_modified || m_currentPath.empty())
        return true;
    const std::string question =
        QString::fromUtf8("Сохранить документ в файл %1?").arg(FromPath(m_currentPath)).toStdString();
    const PromptAnswer answer = m_prompter.Ask(question, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel)
        return false;
    if (answer == PromptAnswer::Yes)
        SaveDocument();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Text

std::vector<std::string> CKestrelView::GetLines() const
{
    return CEditorLines::Of(*document()).Lines();
}

void CKestrelView::SetLines(const std::vector<std::string>& lines)
{
    setUpdatesEnabled(false);
    m_replacingText = true;
    setPlainText(EditorTextOfLines(lines));
    m_replacingText = false;
    m_modified = true;
    selectAll();
    ApplyCharFormat();
    moveCursor(QTextCursor::Start);
    CEditorLines::Of(*document()).TakeSetLines(lines);
    m_entries = BuildEntryList(lines, m_doc.m_filter);
    emit entriesUpdated(false);
    setUpdatesEnabled(true);
    viewport()->update();
    m_history->Clear();
    UpdateTitle();
}

void CKestrelView::ApplyCharFormat()
{
    setFont(m_charFormat);
    // Without a fixed-pitch face the entries' layout of 66 columns would not line up.
    if (!QFontInfo(font()).fixedPitch())
        m_prompter.Report("Ошибка установки шрифта", MessageIcon::Error);
}

void CKestrelView::RefreshEntries(bool keepPosition)
{
    m_entries = BuildEntryList(CEditorLines::Of(*document()).Lines(), m_doc.m_filter);
    emit entriesUpdated(keepPosition);
}

QString CKestrelView::TitleText() const
{
    QString title = QString::fromUtf8(kProductName);
    if (m_currentPath.empty())
        return title;
    title += QStringLiteral(" - ") + FromPath(m_currentPath);
    if (m_modified)
        title += QLatin1Char('*');
    return title;
}

void CKestrelView::UpdateTitle()
{
    const QString title = TitleText();
    if (QWidget* top = window(); top != this)
        top->setWindowTitle(title);
    emit titleChanged(title);
}

void CKestrelView::OnTextChanged()
{
    if (m_replacingText)
        return;
    m_modified = true;
    UpdateTitle();
    emit commandStateChanged();
}

void CKestrelView::AsOneStep(const std::function<void()>& change)
{
    m_history->BeginStep();
    change();
    m_history->EndStep();
}

// ---------------------------------------------------------------------------------------------
// Events

void CKestrelView::ReportPosition()
{
    const QTextCursor cursor = textCursor();
    const QTextBlock block = document()->findBlock(cursor.selectionStart());
    emit positionReported(block.blockNumber() + 1, cursor.selectionEnd() - block.position(),
                          document()->blockCount());
}

bool CKestrelView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride)
    {
        auto* key = static_cast<QKeyEvent*>(event);
        // F1 belongs to the editor (which swallows it), undo and redo to the editor's own history.
        if (key->key() == Qt::Key_F1 || IsUndoKey(key) || IsRedoKey(key))
        {
            event->accept();
            return true;
        }
    }
    else if (event->type() == QEvent::KeyRelease)
    {
        // A released key may have moved the caret, as a mouse event may (see viewportEvent).
        ReportPosition();
    }
    return QPlainTextEdit::event(event);
}

void CKestrelView::keyPressEvent(QKeyEvent* event)
{
    ReportPosition();
    if (event->key() == Qt::Key_F1)
        return;
    if (IsUndoKey(event))
    {
        m_history->Undo();
        return;
    }
    if (IsRedoKey(event))
    {
        m_history->Redo();
        return;
    }
    // Each key is one undo step of its own, whatever it changes.
    m_history->BeginStep();
    QPlainTextEdit::keyPressEvent(event);
    m_history->EndStep();
}

bool CKestrelView::viewportEvent(QEvent* event)
{
    switch (event->type())
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        ReportPosition();
        break;
    default:
        break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void CKestrelView::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // The stock entries act on the document's own history, which is off; route them to ours.
    const auto routeToHistory = [this](QAction* action, bool enabled, void (CTextEditHistory::*command)()) {
        action->disconnect();
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, command] { (m_history->*command)(); });
    };
    for (QAction* action : menu->actions())
    {
        if (action->objectName() == QLatin1String("edit-undo"))
            routeToHistory(action, m_history->CanUndo(), &CTextEditHistory::Undo);
        else if (action->objectName() == QLatin1String("edit-redo"))
            routeToHistory(action, m_history->CanRedo(), &CTextEditHistory::Redo);
    }
    menu->exec(event->globalPos());
}

void CKestrelView::insertFromMimeData(const QMimeData* source)
{
    // A paste or a drop is one step.
    AsOneStep([&] { QPlainTextEdit::insertFromMimeData(source); });
}
