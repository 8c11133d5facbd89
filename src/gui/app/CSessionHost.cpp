#include "gui/app/CSessionHost.h"

#include "core/base/IPrompter.h"
#include "core/workflow/CDesktopTrash.h"
#include "core/workflow/SettingsFile.h"
#include "gui/app/CFolderChooser.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CKestrelDoc.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/COptionsDlg.h"
#include "gui/app/CProgressWnd.h"
#include "gui/widgets/CFileOpenDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <utility>

namespace
{
// The extended recognition is kept in the per-user profile, not in the settings file, whose format
// other installations read.
const QString kExtendedRecognitionKey = QStringLiteral("Recognition/extended");

std::string ToPath(const QString& path)
{
    return path.toStdString();
}
} // namespace

CSessionHost::CSessionHost(CKestrelView& editor, CKestrelDoc& doc, IPrompter& prompter,
                           const QString& settingsFolder)
    : m_editor(editor), m_doc(doc), m_prompter(prompter), m_settingsFolder(settingsFolder),
      m_session(editor, prompter, *this, *this,
                [&doc](CTextLines lines, IReporter& reporter,
                       const std::function<void()>& pumpMessages, const RecognitionOptions& options)
                { return doc.ProcessDocument(std::move(lines), reporter, pumpMessages, options); })
{
    m_askFilesToOpen = [this]
    {
        CFileOpenDlg dialog(
            &m_editor, QDir::currentPath(),
            {QStringLiteral("Файлы в исходном формате (*.rla)"), QStringLiteral("Все файлы (*)")});
        dialog.setFileMode(QFileDialog::ExistingFiles);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
    };
    m_askFolderToOpen = [this]
    {
        CFolderChooser chooser(QStringLiteral("Выбор папки"),
                               QStringLiteral("Выберете папку с файлами в исходном формате"),
                               QDir::currentPath(), &m_editor, m_prompter);
        return chooser.Choose() ? chooser.Result() : QString();
    };
}

CSessionHost::~CSessionHost() = default;

void CSessionHost::SetOpenDialogs(std::function<QStringList()> askFiles, std::function<QString()> askFolder)
{
    m_askFilesToOpen = std::move(askFiles);
    m_askFolderToOpen = std::move(askFolder);
}

// ---------------------------------------------------------------------------------------------
// Settings

std::pair<std::string, std::string> CSessionHost::SettingsFolders() const
{
    if (!m_settingsFolder.isEmpty())
        return {ToPath(m_settingsFolder), ToPath(m_settingsFolder)};
    return {ToPath(QCoreApplication::applicationDirPath()),
            ToPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))};
}

void CSessionHost::LoadSettings()
{
    const auto [exeDir, configDir] = SettingsFolders();
    m_session.SetSettings(
        ReadSessionSettings(SettingsReadPaths(exeDir, configDir), m_doc.m_words, m_doc.m_kinds));
    m_session.SetRecognition({CKestrelApp::Profile().value(kExtendedRecognitionKey, false).toBool()});
}

void CSessionHost::SaveSettings()
{
    const auto [exeDir, configDir] = SettingsFolders();
    WriteSessionSettings(SettingsWritePath(exeDir, configDir), m_session.Settings(), m_doc.m_words,
                         m_doc.m_kinds, m_prompter);
}

// ---------------------------------------------------------------------------------------------
// Commands

void CSessionHost::OnFileOpen()
{
    const QStringList paths = m_askFilesToOpen();
    if (paths.isEmpty())
        return;
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(ToPath(path));
    m_session.OpenFiles(files);
}

void CSessionHost::OnOpenFolder()
{
    const QString folder = m_askFolderToOpen();
    if (folder.isEmpty())
        return;
    m_session.OpenFolder(ToPath(folder));
}

void CSessionHost::OnOptions()
{
    SessionSettings settings = m_session.Settings();
    COptionsDlg dialog(&m_editor, m_prompter);
    dialog.m_autoSaveOnNext = settings.autoSaveOnNext;
    dialog.m_makeBak = settings.makeBak;
    dialog.m_moveOnSave = settings.moveOnSave;
    dialog.m_processedFolder = QString::fromStdString(settings.processedFolder);
    dialog.m_extendedRecognition = m_session.Recognition().extended;
    dialog.ShowCopies();
    if (dialog.exec() != QDialog::Accepted)
        return;
    settings.autoSaveOnNext = dialog.m_autoSaveOnNext;
    settings.makeBak = dialog.m_makeBak;
    settings.moveOnSave = dialog.m_moveOnSave;
    settings.processedFolder = ToPath(dialog.m_processedFolder);
    m_session.SetSettings(settings);
    m_session.SetRecognition({dialog.m_extendedRecognition});
    QSettings profile = CKestrelApp::Profile();
    profile.setValue(kExtendedRecognitionKey, dialog.m_extendedRecognition);
}

// ---------------------------------------------------------------------------------------------
// What the session reaches through its interfaces

// The desktop's trash, the one the batch tool uses too; its home trash lies in the data folder the
// desktop gives this program.
bool CSessionHost::MoveToTrash(const std::string& path)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    CDesktopTrash trash(data.isEmpty() ? std::string() : ToPath(data + QStringLiteral("/Trash")));
    return trash.MoveToTrash(path);
}

void CSessionHost::ProcessingStarted()
{
    m_progress =
        std::make_unique<CProgressWnd>(QStringLiteral("Конвертирование оглавлений"), m_editor.window());
    QCoreApplication::processEvents();
}

void CSessionHost::PumpMessages()
{
    QCoreApplication::processEvents();
}

void CSessionHost::ProcessingEnded()
{
    m_progress.reset();
}
