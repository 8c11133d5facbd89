#pragma once
// The main window: menu, toolbar, status line, the dock of the entry panel and the editor view. It
// builds its actions, menus and toolbar from the command table and keeps their enabled and checked
// states current; the folder workflow is the document session's, which the window's session host owns.

#include <QMainWindow>
#include <QString>

#include <map>
#include <memory>
#include <vector>

#include "core/toc/TocEntryRef.h"
#include "gui/app/MainCommands.h"

class CDocumentSession;
class CHelpWnd;
class CKestrelApp;
class CKestrelDoc;
class CKestrelView;
class CSessionHost;
class CTocPanel;
class IEntryPanel;
class IPrompter;
class QAction;
class QDockWidget;
class QLabel;
class QToolBar;

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    // settingsFolder: see CSessionHost. app may be null (no placement is kept then).
    CMainFrame(IPrompter& prompter, CKestrelApp* app = nullptr, const QString& settingsFolder = QString());
    // Writes the settings file while the document's dictionaries are still there.
    ~CMainFrame() override;

    CKestrelView* View() const { return m_view; }
    CSessionHost& Host() const { return *m_host; }
    CDocumentSession& Session() const;
    QAction* Action(int id) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QDockWidget* TocDock() const { return m_tocDock; }
    QLabel* PositionPane() const { return m_positionPane; }
    // The menus in order, for tests and for the panel's engineer to extend.
    const std::vector<QMenu*>& Menus() const { return m_menus; }

    // The panel shown in the dock; the window hands it every rebuilt entry list.
    void SetEntryPanel(IEntryPanel* panel, QWidget* widget);

    // Moves the keyboard focus from the text into the entry list (showing the panel when hidden)
    // and from the list back to the text.
    void SwitchFocus();
    // The panel's height: the one the operator left it at, or at the first start about a third of
    // the window and never fewer than eight rows.
    void ApplyPanelHeight();

    void UpdateStatusPosition(int line, int column, int lineCount);
    void UpdateEntries(const std::vector<TocEntryRef>& entries, bool keepPosition);
    // The view's remarks to the panel's rows and the status line, after every rebuild of the entries.
    void UpdateRemarks();
    QLabel* RemarksPane() const { return m_remarksPane; }
    void UpdateTitle();
    // Recomputes every action's enabled and checked state.
    void UpdateCommandStates();
    // Runs command id as the menu would; a command that is not available does nothing.
    void OnCommand(int id);

    // Shows the help page named after the executable in the help window.
    void ShowHelp();
    CHelpWnd* HelpWindow() const { return m_helpWnd; }
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void FillToolBar();
    void CreateStatusBar();
    void CreateTocDock();
    void CreateRemarksPane();
    // The remark commands' ties to the panel's button and the text's context menu.
    void AttachRemarkCommands(CTocPanel& panel);
    void LoadBarState();
    void SaveBarState();
    const MainCommand* Command(int id) const;
    int FirstPanelHeight() const;

    IPrompter& m_prompter;
    CKestrelApp* m_app;
    std::unique_ptr<CKestrelDoc> m_doc;
    CKestrelView* m_view = nullptr;
    std::unique_ptr<CSessionHost> m_host;
    std::vector<MainCommand> m_commands;
    std::map<int, QAction*> m_actions;
    std::vector<QMenu*> m_menus;
    QToolBar* m_toolBar = nullptr;
    QDockWidget* m_tocDock = nullptr;
    QLabel* m_positionPane = nullptr;
    QLabel* m_remarksPane = nullptr;
    IEntryPanel* m_entryPanel = nullptr;
    CHelpWnd* m_helpWnd = nullptr; // a child window, made at the first call for help
    int m_savedPanelHeight = 0;    // 0: none saved yet
    QString m_statusHint;          // the status line's last message about a processed document
    QString m_statusHintWhole;     // the same in full, for the tooltip
    bool m_barStateSaved = false;
    bool m_shownOnce = false;
};
