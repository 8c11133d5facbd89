#pragma once
// The main window's one command table: for every command its id, its menu text with the access
// letter, its status prompt and tooltip, its keys, what it does and when it is available or checked;
// and the order of the menus and of the toolbar. The window builds its actions, menus and toolbar
// from it and asks the availability and check tests on demand.

#include <QKeySequence>
#include <QList>

#include <functional>
#include <vector>

class CKestrelDoc;
class CKestrelView;
class CSessionHost;
class IPrompter;
class QMainWindow;
class QWidget;

struct MainCommand
{
    int id; // CommandIds.h
    const char* text;
    const char* statusTip;
    const char* toolTip;
    QList<QKeySequence> keys;
    std::function<void()> run;
    std::function<bool()> enabled; // empty: always available
    std::function<bool()> checked; // empty: the command shows no check mark
};

// What the commands act on; all of them live as long as the window.
struct CommandTargets
{
    QMainWindow& window;
    QWidget& toolBar;
    QWidget& tocDock;
    std::function<void()> showHelp;
    std::function<void()> showAbout;
    // Moves the keyboard focus between the text and the entry list.
    std::function<void()> switchFocus;
    CKestrelView& view;
    CSessionHost& host;
    CKestrelDoc& doc;
    IPrompter& prompter;
};

std::vector<MainCommand> MainWindowCommands(const CommandTargets& targets);

// A separator in a menu or on the toolbar.
inline constexpr int kSeparator = 0;

struct MenuLayout
{
    const char* title;
    std::vector<int> items; // command ids and kSeparator
};

const std::vector<MenuLayout>& MainMenus();
const std::vector<int>& MainToolBar();

// Keys that run a command without being shown beside its menu item.
struct UnlistedKey
{
    QKeySequence key;
    int id;
};

const std::vector<UnlistedKey>& UnlistedKeys();
