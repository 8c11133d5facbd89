#include "gui/app/CMainFrame.h"

#include "core/base/IPrompter.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CKestrelDoc.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/app/ToolbarIcons.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/IEntryPanel.h"
#include "gui/panel/CTocPanel.h"
#include "gui/widgets/CLockIndicators.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace
{
const char* const kProductName = "Тирвель";
const char* const kBarStateSection = "KestrelBarState";

struct CommandText
{
    int id;
    const char* menuText;
    const char* statusTip;
    const char* toolTip;
    std::initializer_list<QKeySequence> keys;
    bool checkable;
};

const CommandText kCommands[] = {
    {CommandId::FileOpen,
     "&Открыть...",
     "Открытие файлов для конвертации оглавлений",
     "Открыть",
     {QKeySequence(Qt::CTRL | Qt::Key_O)},
     false},
    {CommandId::OpenFolder,
     "Открыть &папку...",
     "Открытие папки с файлами для конвертации оглавлений",
     "Открыть папку",
     {},
     false},
    {CommandId::FileSave,
     "&Сохранить",
     "Сохранение текущего документа",
     "Сохранить",
     {QKeySequence(Qt::CTRL | Qt::Key_S)},
     false},
    {CommandId::NextDocument,
     "Перейти к следующему &документу",
     "Переход к следующему документу",
     "Перейти к следующему",
     {},
     false},
    {CommandId::DeleteFile,
     "&Удалить файл в корзину",
     "Удаляет файл с текущим документов в корзину",
     "Удалить файл",
     {},
     false},
    {CommandId::FilePrint,
     "&Печать...",
     "Печать текущего документа",
     "Печать",
     {QKeySequence(Qt::CTRL | Qt::Key_P)},
     false},
    {CommandId::FilePrintPreview,
     "Предварительный прос&мотр",
     "Просмотр документа в том виде, в каком он будет напечатан",
     "Предварительный просмотр",
     {},
     false},
    {CommandId::FilePageSetup,
     "П&араметры страницы...",
     "Выбор принтера и параметров страницы",
     "Параметры страницы",
     {},
     false},
    {CommandId::AppExit, "В&ыход", "Выход из программы", "Выход", {}, false},

    {CommandId::EditUndo,
     "&Отменить",
     "Отмена последнего действия",
     "Отменить",
     {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)},
     false},
    {CommandId::EditRedo,
     "&Повторить",
     "Повтор отменённого действия",
     "Повторить",
     {QKeySequence(Qt::CTRL | Qt::Key_Y)},
     false},
    {CommandId::EditCut,
     "&Вырезать",
     "Удаление выделенного фрагмента в буфер обмена",
     "Вырезать",
     {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
     false},
    {CommandId::EditCopy,
     "&Копировать",
     "Копирование выделенного фрагмента в буфер обмена",
     "Копировать",
     {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)},
     false},
    {CommandId::EditPaste,
     "&Вставить",
     "Вставка содержимого буфера обмена",
     "Вставить",
     {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
     false},
    {CommandId::EditSelectAll,
     "В&ыделить всё",
     "Выделение всего текста документа",
     "Выделить всё",
     {QKeySequence(Qt::CTRL | Qt::Key_A)},
     false},
    {CommandId::EditFind, "&Поиск...", "Поиск текста", "Поиск", {QKeySequence(Qt::CTRL | Qt::Key_F)}, false},
    {CommandId::EditRepeat,
     "&Найти следующий",
     "Поиск следующего вхождения текста",
     "Найти следующий",
     {QKeySequence(Qt::Key_F3)},
     false},
    {CommandId::EditReplace,
     "&Заменить",
     "Замена текста",
     "Заменить",
     {QKeySequence(Qt::CTRL | Qt::Key_H)},
     false},

    {CommandId::UpdateToc,
     "&Обновить оглавление документа",
     "Обновление оглавления документа",
     "Обновить оглавление",
     {},
     false},
    {CommandId::ViewToolbar,
     "&Панель инструментов",
     "Показать или скрыть панель инструментов",
     "Панель инструментов",
     {},
     true},
    {CommandId::ViewTocPanel,
     "Панель &оглавления документа",
     "Показать или скрыть панель оглавления документа",
     "Панель оглавления",
     {},
     true},
    {CommandId::ViewStatusBar,
     "&Строка состояния",
     "Показать или скрыть строку состояния",
     "Строка состояния",
     {},
     true},

    {CommandId::InsertTocTag,
     "&Вставить тег оглавления",
     "Вставка тега оглавления в текст документа",
     "Вставить тег оглавления",
     {},
     false},
    {CommandId::UpperCase,
     "В &верхний регистр",
     "Перевод букв в выделеном блоке текста в верхний регистр",
     "В верхний регистр",
     {},
     false},
    {CommandId::LowerCase,
     "В &нижний регистр",
     "Перевод букв в выделеном блоке текста в нижний регистр",
     "В нижний регистр",
     {},
     false},
    {CommandId::DeleteTocEntries,
     "&Удалить пункты оглавления",
     "Удаление пунктов оглавления в выделенном блоке текста",
     "Удалить пункты оглавления",
     {},
     false},
    {CommandId::MakeBak,
     "&Создавать .bak файлы при сохранении",
     "Создавать резервные .bak файлы при сохранении",
     "Создавать .bak файлы",
     {},
     true},
    {CommandId::AutoSave,
     "&Автоматически сохранять при открытии следующего документа",
     "Автоматически сохранять текущий документ при открытии следующего документа",
     "Автоматически сохранять при открытии следующего документа",
     {},
     true},
    {CommandId::DocKindsDict,
     "Словарь видов &документов",
     "Редактирование словаря видов документов",
     "Словарь видов документов",
     {},
     false},
    {CommandId::UpperCaseWordsDict,
     "Словарь слов с &заглавными буквами",
     "Редактирование словаря слов с заглавными буквами",
     "Словарь слов с заглавными буквами",
     {},
     false},
    {CommandId::Options, "&Параметры", "Параметры программы", "Параметры", {}, false},

    {CommandId::HelpIndex,
     "&Справка",
     "Справка по программе",
     "Справка",
     {QKeySequence(Qt::Key_F1), QKeySequence(Qt::SHIFT | Qt::Key_F1)},
     false},
    {CommandId::AppAbout, "&О программе...", "Сведения о программе", "О программе", {}, false},
};

constexpr int kSeparator = 0;

struct MenuLayout
{
    const char* title;
    std::initializer_list<int> items;
};

const MenuLayout kMenus[] = {
    {"&Файл",
     {CommandId::FileOpen, CommandId::OpenFolder, CommandId::FileSave, kSeparator, CommandId::NextDocument,
      kSeparator, CommandId::DeleteFile, kSeparator, CommandId::FilePrint, CommandId::FilePrintPreview,
      CommandId::FilePageSetup, kSeparator, CommandId::AppExit}},
    {"&Правка",
     {CommandId::EditUndo, CommandId::EditRedo, kSeparator, CommandId::EditCut, CommandId::EditCopy,
      CommandId::EditPaste, CommandId::EditSelectAll, kSeparator, CommandId::EditFind, CommandId::EditRepeat,
      CommandId::EditReplace}},
    {"&Вид",
     {CommandId::UpdateToc, kSeparator, CommandId::ViewToolbar, CommandId::ViewTocPanel,
      CommandId::ViewStatusBar}},
    {"&Сервис",
     {CommandId::InsertTocTag, CommandId::UpperCase, CommandId::LowerCase, CommandId::DeleteTocEntries,
      kSeparator, CommandId::MakeBak, CommandId::AutoSave, kSeparator, CommandId::DocKindsDict,
      CommandId::UpperCaseWordsDict, kSeparator, CommandId::Options}},
    {"&Справка", {CommandId::HelpIndex, kSeparator, CommandId::AppAbout}},
};

const int kToolBar[] = {CommandId::FileOpen,
                        CommandId::OpenFolder,
                        CommandId::FileSave,
                        CommandId::NextDocument,
                        kSeparator,
                        CommandId::DeleteFile,
                        kSeparator,
                        CommandId::EditCut,
                        CommandId::EditCopy,
                        CommandId::EditPaste,
                        kSeparator,
                        CommandId::FilePrint,
                        kSeparator,
                        CommandId::EditUndo,
                        CommandId::EditRedo,
                        kSeparator,
                        CommandId::AutoSave,
                        CommandId::MakeBak,
                        CommandId::Options,
                        CommandId::UpperCaseWordsDict,
                        kSeparator,
                        CommandId::InsertTocTag,
                        CommandId::UpperCase,
                        CommandId::LowerCase,
                        CommandId::DeleteTocEntries};

bool IsFrameCommand(int id)
{
    switch (id)
    {
    case CommandId::ViewToolbar:
    case CommandId::ViewTocPanel:
    case CommandId::ViewStatusBar:
    case CommandId::AppExit:
    case CommandId::AppAbout:
    case CommandId::HelpIndex:
        return true;
    default:
        return false;
    }
}

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

    m_view = new CKestrelView(*m_doc, prompter, settingsFolder, this);
    setCentralWidget(m_view);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    setDockNestingEnabled(true);
    CreateTocDock();
    auto* panel = new CTocPanel(prompter);
    panel->SetEditor(std::make_unique<CEntryEditorQt>(
        *m_view, m_view->History(), m_doc->m_filter, &m_doc->m_words,
        [this](bool keepPosition) { m_view->RefreshEntries(keepPosition); }));
    SetEntryPanel(panel, panel);
    LoadBarState();

    connect(m_view, &CKestrelView::commandStateChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_view, &CKestrelView::positionReported, this, &CMainFrame::UpdateStatusPosition);
    connect(m_view, &CKestrelView::entriesUpdated, this,
            [this](bool keepPosition) { UpdateEntries(m_view->Entries(), keepPosition); });

    m_view->InitialUpdate();
    m_view->setFocus();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    if (!m_barStateSaved)
        SaveBarState();
    // The view's last signals (its history emptying) must not reach a window that is going away.
    CKestrelView* view = m_view;
    m_view = nullptr;
    view->disconnect(this);
    delete view;
}

QAction* CMainFrame::Action(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::CreateActions()
{
    for (const CommandText& command : kCommands)
    {
        auto* action = new QAction(QString::fromUtf8(command.menuText), this);
        action->setData(command.id);
        action->setStatusTip(QString::fromUtf8(command.statusTip));
        action->setToolTip(QString::fromUtf8(command.toolTip));
        action->setShortcuts(QList<QKeySequence>(command.keys));
        action->setCheckable(command.checkable);
        action->setIcon(ToolbarIcon(command.id));
        action->setIconVisibleInMenu(false);
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = action;
        addAction(action); // the keys work while the menu bar is hidden too
    }
}

void CMainFrame::CreateMenus()
{
    for (const MenuLayout& layout : kMenus)
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
    for (const int id : kToolBar)
    {
        if (id == kSeparator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(Action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    // Normal widgets give way to a command's status tip while the mouse is over it.
    auto* idle = new QLabel(QStringLiteral("Для получения справки нажмите F1"), bar);
    bar->addWidget(idle, 1);
    m_positionPane = new QLabel(QStringLiteral(" "), bar);
    m_positionPane->setObjectName(QStringLiteral("positionPane"));
    m_positionPane->setFixedWidth(170);
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
        m_entryPanel->FillList(m_view->Entries(), false);
}

// Only the panel's sizes are applied at start: every run docks it at the bottom again.
void CMainFrame::LoadBarState()
{
    QSettings profile = CKestrelApp::Profile();
    profile.beginGroup(QLatin1String(kBarStateSection));
    const int height = profile.value(QStringLiteral("panelHeight"), 100).toInt();
    profile.endGroup();
    if (height > 0)
        resizeDocks({m_tocDock}, {height}, Qt::Vertical);
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

void CMainFrame::UpdateCommandStates()
{
    if (!m_view)
        return;
    for (const auto& [id, action] : m_actions)
    {
        if (IsFrameCommand(id))
        {
            if (id == CommandId::ViewToolbar)
                action->setChecked(!m_toolBar->isHidden());
            else if (id == CommandId::ViewTocPanel)
                action->setChecked(!m_tocDock->isHidden());
            else if (id == CommandId::ViewStatusBar)
                action->setChecked(!statusBar()->isHidden());
            continue;
        }
        action->setEnabled(m_view->IsCommandEnabled(id));
        if (action->isCheckable())
            action->setChecked(m_view->IsCommandChecked(id));
    }
}

void CMainFrame::OnCommand(int id)
{
    switch (id)
    {
    case CommandId::ViewToolbar:
        m_toolBar->setVisible(m_toolBar->isHidden());
        break;
    case CommandId::ViewTocPanel:
        m_tocDock->setVisible(m_tocDock->isHidden());
        break;
    case CommandId::ViewStatusBar:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case CommandId::AppExit:
        close();
        break;
    case CommandId::AppAbout:
        OnAbout();
        break;
    case CommandId::HelpIndex:
        OnHelp();
        break;
    default:
        m_view->OnCommand(id);
        break;
    }
    UpdateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_view->m_busy)
    {
        m_prompter.Report("Выход из программы запрешен - дождитесь завершения обработки документа",
                          MessageIcon::Information);
        event->ignore();
        return;
    }
    if (m_app)
        m_app->StorePlacement(CKestrelApp::CurrentPlacement(*this));
    if (!m_doc->CanCloseFrame())
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
    m_view->OnShown();
}

void CMainFrame::OnHelp()
{
    const QString page = FindHelpPage();
    if (page.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        m_prompter.Report("Failed to launch help.", MessageIcon::Error);
}

void CMainFrame::OnAbout()
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
    about.exec();
}
