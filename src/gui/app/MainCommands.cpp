#include "gui/app/MainCommands.h"

#include "core/workflow/CDocumentSession.h"
#include "gui/app/CEditCommands.h"
#include "gui/app/CKestrelDoc.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CSessionHost.h"
#include "gui/app/CommandIds.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QMainWindow>
#include <QStatusBar>

namespace
{
// A bar's menu item shows it or hides it, with a check mark while it is visible.
void ToggleBar(QWidget* bar)
{
    bar->setVisible(bar->isHidden());
}

bool IsShown(const QWidget* bar)
{
    return !bar->isHidden();
}
} // namespace

std::vector<MainCommand> MainWindowCommands(const CommandTargets& targets)
{
    QMainWindow& window = targets.window;
    QWidget* toolBar = &targets.toolBar;
    QWidget* tocDock = &targets.tocDock;
    QWidget* statusBar = window.statusBar();
    CKestrelView& view = targets.view;
    CSessionHost& host = targets.host;
    CDocumentSession& session = host.Session();
    CKestrelDoc& doc = targets.doc;
    IPrompter& prompter = targets.prompter;
    CEditCommands& edit = view.EditCommands();
    CTextEditHistory& history = view.History();

    const auto notBusy = [&session] { return !session.IsBusy(); };
    const auto hasSelection = [&edit] { return edit.HasSelection(); };

    return {
        {CommandId::FileOpen,
         "&Открыть...",
         "Открытие файлов для конвертации оглавлений",
         "Открыть",
         {QKeySequence(Qt::CTRL | Qt::Key_O)},
         [&host] { host.OnFileOpen(); },
         notBusy,
         {}},
        {CommandId::OpenFolder,
         "Открыть &папку...",
         "Открытие папки с файлами для конвертации оглавлений",
         "Открыть папку",
         {},
         [&host] { host.OnOpenFolder(); },
         notBusy,
         {}},
        {CommandId::FileSave,
         "&Сохранить",
         "Сохранение текущего документа",
         "Сохранить",
         {QKeySequence(Qt::CTRL | Qt::Key_S)},
         [&session] { session.SaveDocument(); },
         [&session] { return session.CanSave(); },
         {}},
        {CommandId::NextDocument,
         "Перейти к следующему &документу",
         "Переход к следующему документу",
         "Перейти к следующему",
         {},
         [&session] { session.OpenNextDocument(); },
         [&session] { return session.CanOpenNext(); },
         {}},
        {CommandId::Reprocess,
         "Обработать &заново",
         "Повторная обработка текущего документа из файла с текущими параметрами",
         "Обработать заново",
         {QKeySequence(Qt::CTRL | Qt::Key_R)},
         [&session] { session.ReprocessDocument(); },
         [&session] { return session.CanReprocess(); },
         {}},
        {CommandId::DeleteFile,
         "&Удалить файл в корзину",
         "Удаляет файл с текущим документов в корзину",
         "Удалить файл",
         {},
         [&session] { session.DeleteFileToTrash(); },
         [&session] { return session.CanDelete(); },
         {}},
        {CommandId::FilePrint,
         "&Печать...",
         "Печать текущего документа",
         "Печать",
         {QKeySequence(Qt::CTRL | Qt::Key_P)},
         [&edit] { edit.Print(); },
         {},
         {}},
        {CommandId::FilePrintPreview,
         "Предварительный прос&мотр",
         "Просмотр документа в том виде, в каком он будет напечатан",
         "Предварительный просмотр",
         {},
         [&edit] { edit.PrintPreview(); },
         {},
         {}},
        {CommandId::FilePageSetup,
         "П&араметры страницы...",
         "Выбор принтера и параметров страницы",
         "Параметры страницы",
         {},
         [&edit] { edit.PageSetup(); },
         {},
         {}},
        {CommandId::AppExit,
         "В&ыход",
         "Выход из программы",
         "Выход",
         {},
         [&window] { window.close(); },
         {},
         {}},

        {CommandId::EditUndo,
         "&Отменить",
         "Отмена последнего действия",
         "Отменить",
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)},
         [&view] { view.Undo(); },
         [&history] { return history.CanUndo(); },
         {}},
        {CommandId::EditRedo,
         "&Повторить",
         "Повтор отменённого действия",
         "Повторить",
         {QKeySequence(Qt::CTRL | Qt::Key_Y)},
         [&view] { view.Redo(); },
         [&history] { return history.CanRedo(); },
         {}},
        {CommandId::EditCut,
         "&Вырезать",
         "Удаление выделенного фрагмента в буфер обмена",
         "Вырезать",
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
         [&view] { view.CutSelection(); },
         {},
         {}},
        {CommandId::EditCopy,
         "&Копировать",
         "Копирование выделенного фрагмента в буфер обмена",
         "Копировать",
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)},
         [&view] { view.copy(); },
         {},
         {}},
        {CommandId::EditPaste,
         "&Вставить",
         "Вставка содержимого буфера обмена",
         "Вставить",
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
         [&view] { view.PasteClipboard(); },
         [&view] { return view.CanPaste(); },
         {}},
        {CommandId::EditSelectAll,
         "В&ыделить всё",
         "Выделение всего текста документа",
         "Выделить всё",
         {QKeySequence(Qt::CTRL | Qt::Key_A)},
         [&view] { view.selectAll(); },
         {},
         {}},
        {CommandId::EditFind,
         "&Поиск...",
         "Поиск текста",
         "Поиск",
         {QKeySequence(Qt::CTRL | Qt::Key_F)},
         [&edit] { edit.Find(); },
         {},
         {}},
        {CommandId::EditRepeat,
         "&Найти следующий",
         "Поиск следующего вхождения текста",
         "Найти следующий",
         {QKeySequence(Qt::Key_F3)},
         [&edit] { edit.FindNext(); },
         {},
         {}},
        {CommandId::EditReplace,
         "&Заменить",
         "Замена текста",
         "Заменить",
         {QKeySequence(Qt::CTRL | Qt::Key_H)},
         [&edit] { edit.Replace(); },
         {},
         {}},

        {CommandId::UpdateToc,
         "&Обновить оглавление документа",
         "Обновление оглавления документа",
         "Обновить оглавление",
         {QKeySequence(Qt::Key_F5)},
         [&view] { view.RefreshEntries(true); },
         {},
         {}},
        {CommandId::SwitchFocus,
         "Перейти ме&жду текстом и оглавлением",
         "Переход между текстом документа и списком пунктов оглавления",
         "Текст или оглавление",
         {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)},
         targets.switchFocus,
         {},
         {}},
        {CommandId::ViewToolbar,
         "&Панель инструментов",
         "Показать или скрыть панель инструментов",
         "Панель инструментов",
         {},
         [toolBar] { ToggleBar(toolBar); },
         {},
         [toolBar] { return IsShown(toolBar); }},
        {CommandId::ViewTocPanel,
         "Панель &оглавления документа",
         "Показать или скрыть панель оглавления документа",
         "Панель оглавления",
         {},
         [tocDock] { ToggleBar(tocDock); },
         {},
         [tocDock] { return IsShown(tocDock); }},
        {CommandId::ViewStatusBar,
         "&Строка состояния",
         "Показать или скрыть строку состояния",
         "Строка состояния",
         {},
         [statusBar] { ToggleBar(statusBar); },
         {},
         [statusBar] { return IsShown(statusBar); }},

        {CommandId::InsertTocTag,
         "&Вставить тег оглавления",
         "Вставка тега оглавления в текст документа",
         "Вставить тег оглавления",
         {},
         [&edit] { edit.InsertTocTag(); },
         {},
         {}},
        {CommandId::UpperCase,
         "В &верхний регистр",
         "Перевод букв в выделеном блоке текста в верхний регистр",
         "В верхний регистр",
         {},
         [&edit] { edit.UpperCase(); },
         hasSelection,
         {}},
        {CommandId::LowerCase,
         "В &нижний регистр",
         "Перевод букв в выделеном блоке текста в нижний регистр",
         "В нижний регистр",
         {},
         [&edit] { edit.LowerCase(); },
         hasSelection,
         {}},
        {CommandId::DeleteTocEntries,
         "&Удалить пункты оглавления",
         "Удаление пунктов оглавления в выделенном блоке текста",
         "Удалить пункты оглавления",
         {},
         [&edit] { edit.DeleteTocEntries(); },
         hasSelection,
         {}},
        {CommandId::MakeBak,
         "&Создавать .bak файлы при сохранении",
         "Создавать резервные .bak файлы при сохранении",
         "Создавать .bak файлы",
         {},
         [&session] { session.ToggleMakeBak(); },
         {},
         [&session] { return session.Settings().makeBak; }},
        {CommandId::AutoSave,
         "&Автоматически сохранять при открытии следующего документа",
         "Автоматически сохранять текущий документ при открытии следующего документа",
         "Автоматически сохранять при открытии следующего документа",
         {},
         [&session] { session.ToggleAutoSaveOnNext(); },
         {},
         [&session] { return session.Settings().autoSaveOnNext; }},
        // The engine reads the dictionaries while it runs.
        {CommandId::DocKindsDict,
         "Словарь видов &документов",
         "Редактирование словаря видов документов",
         "Словарь видов документов",
         {},
         [&doc, &prompter, &view] { doc.OnDocKindsDict(prompter, &view); },
         notBusy,
         {}},
        {CommandId::UpperCaseWordsDict,
         "Словарь слов с &заглавными буквами",
         "Редактирование словаря слов с заглавными буквами",
         "Словарь слов с заглавными буквами",
         {},
         [&doc, &prompter, &view] { doc.OnUpperCaseWordsDict(prompter, &view); },
         notBusy,
         {}},
        {CommandId::Options,
         "&Параметры",
         "Параметры программы",
         "Параметры",
         {},
         [&host] { host.OnOptions(); },
         notBusy,
         {}},

        {CommandId::HelpIndex, "&Справка", "Справка по программе", "Справка", {}, targets.showHelp, {}, {}},
        {CommandId::AppAbout,
         "&О программе...",
         "Сведения о программе",
         "О программе",
         {},
         targets.showAbout,
         {},
         {}},
    };
}

const std::vector<MenuLayout>& MainMenus()
{
    using namespace CommandId;
    static const std::vector<MenuLayout> menus = {
        {"&Файл",
         {FileOpen, OpenFolder, FileSave, kSeparator, NextDocument, Reprocess, kSeparator, DeleteFile,
          kSeparator, FilePrint, FilePrintPreview, FilePageSetup, kSeparator, AppExit}},
        {"&Правка",
         {EditUndo, EditRedo, kSeparator, EditCut, EditCopy, EditPaste, EditSelectAll, kSeparator, EditFind,
          EditRepeat, EditReplace}},
        {"&Вид", {UpdateToc, SwitchFocus, kSeparator, ViewToolbar, ViewTocPanel, ViewStatusBar}},
        {"&Сервис",
         {InsertTocTag, UpperCase, LowerCase, DeleteTocEntries, AddHeadingToToc, kSeparator, NextRemark,
          kSeparator, MakeBak, AutoSave, kSeparator, DocKindsDict, UpperCaseWordsDict, kSeparator, Options}},
        {"&Справка", {HelpIndex, kSeparator, AppAbout}},
    };
    return menus;
}

const std::vector<int>& MainToolBar()
{
    using namespace CommandId;
    static const std::vector<int> toolBar = {
        FileOpen,     OpenFolder, FileSave,  NextDocument,    kSeparator, DeleteFile,         kSeparator,
        EditCut,      EditCopy,   EditPaste, kSeparator,      FilePrint,  kSeparator,         EditUndo,
        EditRedo,     kSeparator, AutoSave,  MakeBak,         Options,    UpperCaseWordsDict, kSeparator,
        InsertTocTag, UpperCase,  LowerCase, DeleteTocEntries};
    return toolBar;
}

const std::vector<UnlistedKey>& UnlistedKeys()
{
    // Help answers F1 and Shift+F1 anywhere but in the editor, though its menu item shows no key.
    static const std::vector<UnlistedKey> keys = {
        {QKeySequence(Qt::Key_F1), CommandId::HelpIndex},
        {QKeySequence(Qt::SHIFT | Qt::Key_F1), CommandId::HelpIndex},
    };
    return keys;
}
