#include "gui/app/CMainFrame.h"

#include "core/base/IPrompter.h"
#include "core/workflow/CDocumentSession.h"
#include "core/workflow/ProductName.h"
#include "gui/app/CHelpWnd.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CKestrelDoc.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CSessionHost.h"
#include "gui/app/CommandIds.h"
#include "gui/app/RemarkCommands.h"
#include "gui/app/StatusMessages.h"
#include "gui/app/ToolbarIcons.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/IEntryPanel.h"
#include "gui/panel/CTocPanel.h"
#include "gui/widgets/CLockIndicators.h"
#include "gui/widgets/DialogControls.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
const char* const kBarStateSection = "KestrelBarState";
const QString kWidestPosition = QStringLiteral("Стр: 999999   Кол: 9999   Всего: 999999");

// The help page is named after the executable: next to it (a build tree), else in the data folders.
QString FindHelpPage()
{
    const QString name =
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".html");
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/tirvel/") + name);
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("tirvel/") + name);
}
} // namespace

CMainFrame::CMainFrame(IPrompter& prompter, CKestrelApp* app, const QString& settingsFolder)
    : m_prompter(prompter), m_app(app), m_doc(std::make_unique<CKestrelDoc>())
{
    setWindowTitle(QString::fromUtf8(kProductName));
    setWindowIcon(QIcon(QStringLiteral(":/tirvel/tirvel.png")));
    // The first start (no placement in the profile yet) opens in the middle of the screen.
    resize(900, 650);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_view = new CKestrelView(m_doc->m_filter, prompter, this);
    setCentralWidget(m_view);
    m_host = std::make_unique<CSessionHost>(*m_view, *m_doc, prompter, settingsFolder);

    CreateToolBar();
    CreateStatusBar();
    CreateRemarksPane();
    setDockNestingEnabled(true);
    CreateTocDock();
    CreateActions();
    CreateMenus();
    FillToolBar();
    auto* panel = new CTocPanel(prompter);
    panel->SetEditor(std::make_unique<CEntryEditorQt>(
        *m_view, m_view->History(), m_doc->m_filter, &m_doc->m_words,
        [this](bool keepPosition) { m_view->RefreshEntries(keepPosition); }));
    SetEntryPanel(panel, panel);
    connect(panel, &CTocPanel::leaveRequested, this, [this] { m_view->setFocus(Qt::ShortcutFocusReason); });
    AttachRemarkCommands(*panel);
    LoadBarState();

    Session().SetStateListener(
        [this]
        {
            // What the status line said about the previous document is no longer true.
            if (Session().IsBusy())
                statusBar()->clearMessage();
            UpdateTitle();
            UpdateCommandStates();
        });
    Session().SetProcessedListener(
        [this](const ProcessResult& result)
        {
            const bool extended = Session().Recognition().extended;
            m_statusHint = ProcessedStatus(result.entries, result.refused, extended);
            m_statusHintWhole = ProcessedStatusWhole(result.entries, result.refused, extended);
            statusBar()->showMessage(m_statusHint);
        });
    // A message the status line shows short is read whole in its tooltip.
    connect(statusBar(), &QStatusBar::messageChanged, this,
            [this](const QString& message)
            {
                QString whole = message;
                if (!m_statusHint.isEmpty())
                    whole.replace(m_statusHint, m_statusHintWhole);
                statusBar()->setToolTip(whole);
            });
    // A warning that needs no answer goes in front of what the status line says about the
    // document, and stays until the next message there.
    Session().SetNoticeListener(
        [this](const std::string& text)
        {
            const QString notice = QString::fromStdString(text);
            const QString current = statusBar()->currentMessage();
            statusBar()->showMessage(current.isEmpty() ? notice : notice + QStringLiteral("   ") + current);
        });
    connect(m_view, &CKestrelView::textEdited, this, [this] { Session().TextChanged(); });
    connect(m_view, &CKestrelView::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(m_view, &CKestrelView::editorStateChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_view, &CKestrelView::positionReported, this, &CMainFrame::UpdateStatusPosition);
    connect(m_view, &CKestrelView::entriesUpdated, this,
            [this](bool keepPosition)
            {
                UpdateEntries(m_view->Entries(), keepPosition);
                UpdateRemarks();
            });

    m_view->InitialUpdate();
    m_host->LoadSettings();
    m_view->setFocus();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    if (!m_barStateSaved)
        SaveBarState();
    m_host->SaveSettings();
    // The session and the view's last signals (its history emptying) must not reach a window that
    // is going away.
    m_host.reset();
    CKestrelView* view = m_view;
    m_view = nullptr;
    view->disconnect(this);
    delete view;
}

CDocumentSession& CMainFrame::Session() const
{
    return m_host->Session();
}

QAction* CMainFrame::Action(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

const MainCommand* CMainFrame::Command(int id) const
{
    for (const MainCommand& command : m_commands)
        if (command.id == id)
            return &command;
    return nullptr;
}

void CMainFrame::CreateActions()
{
    m_commands =
        MainWindowCommands({*this, *m_toolBar, *m_tocDock, [this] { ShowHelp(); }, [this] { ShowAbout(); },
                            [this] { SwitchFocus(); }, *m_view, *m_host, *m_doc, m_prompter});
    for (MainCommand& command : RemarkCommands({*this, *m_view, *m_host, *m_doc, m_prompter,
                                                [this](std::size_t oglLine)
                                                {
                                                    if (m_entryPanel)
                                                        m_entryPanel->SelectEntry(oglLine);
                                                }}))
        m_commands.push_back(std::move(command));
    for (const MainCommand& command : m_commands)
    {
        auto* action = new QAction(QString::fromUtf8(command.text), this);
        action->setData(command.id);
        action->setStatusTip(QString::fromUtf8(command.statusTip));
        action->setToolTip(QString::fromUtf8(command.toolTip));
        action->setShortcuts(command.keys);
        action->setCheckable(static_cast<bool>(command.checked));
        action->setIcon(ToolbarIcon(command.id));
        action->setIconVisibleInMenu(false);
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = action;
        addAction(action); // the keys work while the menu bar is hidden too
    }
    for (const UnlistedKey& key : UnlistedKeys())
    {
        const int id = key.id;
        connect(new QShortcut(key.key, this), &QShortcut::activated, this, [this, id] { OnCommand(id); });
    }
}

void CMainFrame::CreateMenus()
{
    for (const MenuLayout& layout : MainMenus())
    {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(layout.title));
        for (const int id : layout.items)
        {
            if (id == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        m_menus.push_back(menu);
    }
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Панель инструментов"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 15));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::FillToolBar()
{
    for (const int id : MainToolBar())
    {
        if (id == kSeparator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(Action(id));
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    // Normal widgets give way to a command's status tip while the mouse is over it.
    auto* idle = new QLabel(QStringLiteral("Для получения справки нажмите F1"), bar);
    bar->addWidget(idle, 1);
    m_positionPane = new QLabel(QStringLiteral(" "), bar);
    m_positionPane->setObjectName(QStringLiteral("positionPane"));
    // Wide enough for the largest figures a document can have, in the status line's own font.
    const QFontMetrics metrics = m_positionPane->fontMetrics();
    const QMargins margins = m_positionPane->contentsMargins();
    m_positionPane->setFixedWidth(metrics.horizontalAdvance(kWidestPosition) + margins.left() +
                                  margins.right() + 2 * m_positionPane->margin() +
                                  metrics.averageCharWidth());
    bar->addPermanentWidget(m_positionPane);
    bar->addPermanentWidget(new CLockIndicators(bar));
}

void CMainFrame::CreateTocDock()
{
    m_tocDock = new QDockWidget(QStringLiteral("Оглавление"), this);
    m_tocDock->setObjectName(QStringLiteral("tocDock"));
    m_tocDock->setAllowedAreas(Qt::AllDockWidgetAreas);
    m_tocDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                           QDockWidget::DockWidgetFloatable);
    auto* placeholder = new QWidget(m_tocDock);
    placeholder->setMinimumSize(300, 100);
    m_tocDock->setWidget(placeholder);
    addDockWidget(Qt::BottomDockWidgetArea, m_tocDock);
    resizeDocks({m_tocDock}, {100}, Qt::Vertical);
    placeholder->setMinimumSize(0, 0);
}

void CMainFrame::CreateRemarksPane()
{
    // Left of the caret's position (after the one message widget); hidden while the entries have no
    // remarks.
    m_remarksPane = new QLabel(statusBar());
    m_remarksPane->setObjectName(QStringLiteral("remarksPane"));
    m_remarksPane->hide();
    statusBar()->insertPermanentWidget(1, m_remarksPane);
}

void CMainFrame::AttachRemarkCommands(CTocPanel& panel)
{
    panel.SetNextRemarkAction(Action(CommandId::NextRemark));
    m_view->AddContextAction(Action(CommandId::AddHeadingToToc));
}

void CMainFrame::UpdateRemarks()
{
    if (m_entryPanel)
        m_entryPanel->ShowRemarks(m_view->Remarks());
    const QString status = RemarkCountStatus(m_view->Remarks().size());
    m_remarksPane->setText(status);
    m_remarksPane->setVisible(!status.isEmpty());
    UpdateCommandStates();
}

void CMainFrame::SetEntryPanel(IEntryPanel* panel, QWidget* widget)
{
    m_entryPanel = panel;
    if (widget)
    {
        QWidget* old = m_tocDock->widget();
        m_tocDock->setWidget(widget);
        delete old;
    }
    if (m_entryPanel)
    {
        m_entryPanel->FillList(m_view->Entries(), false);
        m_entryPanel->ShowRemarks(m_view->Remarks());
    }
}

// Only the panel's sizes are applied at start: every run docks it at the bottom again.
void CMainFrame::LoadBarState()
{
    QSettings profile = CKestrelApp::Profile();
    profile.beginGroup(QLatin1String(kBarStateSection));
    m_savedPanelHeight = std::max(0, profile.value(QStringLiteral("panelHeight"), 0).toInt());
    profile.endGroup();
}

int CMainFrame::FirstPanelHeight() const
{
    // About a third of the window, and never fewer than eight rows of the list.
    const QWidget* panel = m_tocDock->widget();
    const int besideList = m_tocDock->height() - (panel ? panel->height() : 0);
    const int eightRows = besideList + CTocPanel::HeightForRows(8);
    return std::max(height() / 3, eightRows);
}

void CMainFrame::ApplyPanelHeight()
{
    if (dockWidgetArea(m_tocDock) != Qt::BottomDockWidgetArea || m_tocDock->isFloating())
        return;
    resizeDocks({m_tocDock}, {m_savedPanelHeight > 0 ? m_savedPanelHeight : FirstPanelHeight()},
                Qt::Vertical);
}

void CMainFrame::SwitchFocus()
{
    QWidget* panel = m_tocDock->widget();
    if (!panel)
        return;
    const QWidget* focused = QApplication::focusWidget();
    if (focused && m_tocDock->isAncestorOf(focused))
    {
        m_view->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    m_tocDock->show();
    m_tocDock->raise();
    panel->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::SaveBarState()
{
    QSettings profile = CKestrelApp::Profile();
    profile.beginGroup(QLatin1String(kBarStateSection));
    profile.setValue(QStringLiteral("state"), saveState());
    if (dockWidgetArea(m_tocDock) == Qt::BottomDockWidgetArea ||
        dockWidgetArea(m_tocDock) == Qt::TopDockWidgetArea)
    {
        if (!m_tocDock->isFloating() && m_tocDock->height() > 0)
            profile.setValue(QStringLiteral("panelHeight"), m_tocDock->height());
    }
    profile.setValue(QStringLiteral("panelWidth"), m_tocDock->width());
    profile.endGroup();
    profile.sync();
    m_barStateSaved = true;
}

void CMainFrame::UpdateStatusPosition(int line, int column, int lineCount)
{
    m_positionPane->setText(
        QStringLiteral("Стр: %1   Кол: %2   Всего: %3").arg(line).arg(column + 1).arg(lineCount));
}

void CMainFrame::UpdateEntries(const std::vector<TocEntryRef>& entries, bool keepPosition)
{
    if (m_entryPanel)
        m_entryPanel->FillList(entries, keepPosition);
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(QString::fromStdString(Session().Title()));
}

void CMainFrame::UpdateCommandStates()
{
    // The window is going away.
    if (!m_view || !m_host)
        return;
    for (const MainCommand& command : m_commands)
    {
        QAction* action = m_actions.at(command.id);
        action->setEnabled(!command.enabled || command.enabled());
        if (command.checked)
            action->setChecked(command.checked());
    }
}

void CMainFrame::OnCommand(int id)
{
    const MainCommand* command = Command(id);
    if (!command || (command->enabled && !command->enabled()))
        return;
    command->run();
    UpdateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (Session().IsBusy())
    {
        m_prompter.Report("Выход из программы запрешен - дождитесь завершения обработки документа",
                          MessageIcon::Information);
        event->ignore();
        return;
    }
    if (m_app)
        m_app->StorePlacement(CKestrelApp::CurrentPlacement(*this));
    if (!Session().ConfirmSaveOnClose())
    {
        event->ignore();
        return;
    }
    SaveBarState();
    event->accept();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Only the first showing starts clean; restoring a minimised window keeps the changed flag.
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    Session().WindowShown();
    // The window has its placement now; its layout settles once the events of showing it are done.
    QTimer::singleShot(0, this, &CMainFrame::ApplyPanelHeight);
}

void CMainFrame::ShowHelp()
{
    if (!m_helpWnd)
    {
        const QString page = FindHelpPage();
        if (page.isEmpty() || !QFileInfo(page).isReadable())
        {
            m_prompter.Report("Failed to launch help.", MessageIcon::Error);
            return;
        }
        m_helpWnd = new CHelpWnd(page, this);
    }
    m_helpWnd->show();
    m_helpWnd->raise();
    m_helpWnd->activateWindow();
}

void CMainFrame::ShowAbout()
{
    QDialog about(this);
    about.setWindowTitle(QStringLiteral("О программе"));
    auto* icon = new QLabel(&about);
    icon->setPixmap(QPixmap(QStringLiteral(":/tirvel/tirvel.png")));
    auto* name = new QLabel(QString::fromUtf8(kProductName), &about);
    QFont font = name->font();
    font.setBold(true);
    name->setFont(font);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(name, 1);
    auto* layout = new QVBoxLayout(&about);
    layout->addLayout(row);
    layout->addWidget(buttons);
    KeepTitleWhole(about);
    about.exec();
}
