#pragma once
// The entry panel: the table-of-contents entries of the editor text, one row each, which the
// operator marks and then moves a level up or down, re-cases, deletes or jumps to. Rows with remarks
// carry a warning sign and the remarks as their tooltip, and can be shown alone. The panel holds
// only the list it was last filled with (its model's); every change of the text goes through the
// editor.

#include "core/entries/TocEntryCommands.h"
#include "gui/common/IEntryPanel.h"

#include <QWidget>

#include <cstddef>
#include <memory>
#include <vector>

class CFlatIconButton;
class IEntryEditor;
class IReporter;
class QAction;
class QCheckBox;
class CTocListModel;
class QLabel;
class QListView;

class CTocPanel : public QWidget, public IEntryPanel
{
    Q_OBJECT
public:
    // The buttons, left to right.
    static constexpr int kLevelUp = 103;
    static constexpr int kLevelDown = 109;
    static constexpr int kToCapitals = 108;
    static constexpr int kToSentenceCase = 107;
    static constexpr int kDelete = 104;
    static constexpr int kFilter = 105;
    static constexpr int kRefresh = 102;
    static constexpr int kUndo = 113;
    static constexpr int kRedo = 112;
    static constexpr int kMarkAll = 114;
    static constexpr int kNextRemark = 115;

    explicit CTocPanel(IReporter& reporter, QWidget* parent = nullptr);
    ~CTocPanel() override;

    // The editor the panel works on (owned); without one the commands do nothing.
    void SetEditor(std::unique_ptr<IEntryEditor> editor);

    // One row per entry, none marked; keepPosition keeps the first visible row where it was.
    void FillList(const std::vector<TocEntryRef>& entries, bool keepPosition) override;
    // The marked rows in ascending order.
    std::vector<std::size_t> GetMarkedIndices() const;
    void ShowRemarks(const std::vector<Remark>& remarks) override;
    void SelectEntry(std::size_t oglLine) override;
    // The window's next-remark command, which the panel's button runs and follows in availability
    // and tooltip.
    void SetNextRemarkAction(QAction* action);

    // The button actions, as a click runs them.
    void RunButton(int id);
    // Marks only the current row and scrolls the editor to its entry's ОГЛ line.
    void JumpToEntry();
    void MarkAll();

    QListView* List() const { return m_list; }
    QLabel* CountLabel() const { return m_countLabel; }
    QLabel* MarkedLabel() const { return m_markedLabel; }
    QCheckBox* RemarksOnlyBox() const { return m_remarksOnlyBox; }
    CFlatIconButton* Button(int id) const;

    QSize sizeHint() const override;
    // The panel's height that shows rows rows of the lowest height.
    static int HeightForRows(int rows);

    // The panel's buttons with their commands and keys, and the keys of the list, as a table for
    // the help page.
    static QString KeysHtml();

signals:
    // Esc in the list: the operator is done with the panel and goes back to the text.
    void leaveRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RunEntryCommandOnMarked(EntryCommand command);
    void EditLevelFilter();
    void UndoOrRedo(bool undo);
    void UpdateMarkedLabel();
    int FirstVisibleRow() const;
    void MakeFirstVisible(int row);
    // Hides the rows without remarks while the box is ticked (shows them all otherwise); a hidden
    // row loses its mark, so no command acts on a row the operator cannot see.
    void ApplyRemarksFilter();

    IReporter& m_reporter;
    std::unique_ptr<IEntryEditor> m_editor;
    CTocListModel* m_model; // the list the rows show, row i = entry i
    QListView* m_list;
    QLabel* m_countLabel;
    QLabel* m_markedLabel;
    QCheckBox* m_remarksOnlyBox;
    QAction* m_nextRemarkAction = nullptr;
    std::vector<std::pair<int, CFlatIconButton*>> m_buttons; // in their order left to right
};
