#pragma once
// The main window: menu, toolbar, status line, the dock of the entry panel and the editor view.
// It wires every command (by id) to the view or to its own few commands and keeps their enabled
// and checked states current; the workflow itself lives in the view.

#include <QMainWindow>
#include <QString>

#include <map>
#include <memory>
#include <vector>

#include "core/toc/TocEntryRef.h"

class CKestrelApp;
class CKestrelDoc;
class CKestrelView;
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
    // settingsFolder: see CKestrelView. app may be null (no placement is kept then).
    CMainFrame(IPrompter& prompter, CKestrelApp* app = nullptr, const QString& settingsFolder = QString());
    // The view goes first: it writes the settings file, which needs the document's dictionaries.
    ~CMainFrame() override;

    CKestrelView* View() const { return m_view; }
    CKestrelDoc& Doc() const { return *m_doc; }
    QAction* Action(int id) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QDockWidget* TocDock() const { return m_tocDock; }
    QLabel* PositionPane() const { return m_positionPane; }
    // The menus in order, for tests and for the panel's engineer to extend.
    const std::vector<QMenu*>& Menus() const { return m_menus; }

    // The panel shown in the dock; the window hands it every rebuilt entry list.
    void SetEntryPanel(IEntryPanel* panel, QWidget* widget);

    void UpdateStatusPosition(int line, int column, int lineCount);
    void UpdateEntries(const std::vector<TocEntryRef>& entries, bool keepPosition);
    // Recomputes every action's enabled and checked state from the view's flags.
    void UpdateCommandStates();
    // Runs command id as the menu would.
    void OnCommand(int id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateTocDock();
    void LoadBarState();
    void SaveBarState();
    void OnHelp();
    void OnAbout();

    IPrompter& m_prompter;
    CKestrelApp* m_app;
    std::unique_ptr<CKestrelDoc> m_doc;
    CKestrelView* m_view = nullptr;
    std::map<int, QAction*> m_actions;
    std::vector<QMenu*> m_menus;
    QToolBar* m_toolBar = nullptr;
    QDockWidget* m_tocDock = nullptr;
    QLabel* m_positionPane = nullptr;
    IEntryPanel* m_entryPanel = nullptr;
    bool m_barStateSaved = false;
    bool m_shownOnce = false;
};
