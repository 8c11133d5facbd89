#include "gui/panel/CTocPanel.h"

#include "core/base/Reporter.h"
#include "core/entries/IEntryEditor.h"
#include "gui/panel/CFilterDlg.h"
#include "gui/panel/CTocListDelegate.h"
#include "gui/panel/CTocListModel.h"
#include "gui/widgets/CFlatIconButton.h"
#include "gui/widgets/TocPanelIcons.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QScrollBar>

#include <algorithm>

namespace
{
constexpr int kButtonSide = 25;
constexpr int kButtonTop = 5;
constexpr int kFirstButtonLeft = 5;
constexpr int kButtonStep = 30;
// The box that shows only the rows with remarks stands under the level filter's button, above the list.
constexpr int kRemarksOnlyLeft = 155;
constexpr int kRemarksOnlyTop = 33;
constexpr int kRemarksOnlyHeight = 20;
constexpr int kListTop = kRemarksOnlyTop + kRemarksOnlyHeight + 2;
constexpr int kLabelLeft = 330;
constexpr int kLabelWidth = 200;
constexpr int kLabelHeight = 15;

struct PanelButton
{
    int id;
    TocPanelIcon icon;
    const char* name;
    QList<QKeySequence> keys; // while the list has the focus
    const char* keyText;      // the first key as the operator reads it
};

// Level and case on the arrows: left and right move entries out and in as their indentation does,
// up and down raise and lower their letters.
const std::vector<PanelButton>& PanelButtons()
{
    static const std::vector<PanelButton> buttons = {
        {CTocPanel::kLevelUp,
         TocPanelIcon::LevelUp,
         "Уровень выше",
         {QKeySequence(Qt::CTRL | Qt::Key_Left)},
         "Ctrl+←"},
        {CTocPanel::kLevelDown,
         TocPanelIcon::LevelDown,
         "Уровень ниже",
         {QKeySequence(Qt::CTRL | Qt::Key_Right)},
         "Ctrl+→"},
        {CTocPanel::kToCapitals,
         TocPanelIcon::ToCapitals,
         "Прописными буквами",
         {QKeySequence(Qt::CTRL | Qt::Key_Up)},
         "Ctrl+↑"},
        {CTocPanel::kToSentenceCase,
         TocPanelIcon::ToSentenceCase,
         "Строчными буквами, как в предложении",
         {QKeySequence(Qt::CTRL | Qt::Key_Down)},
         "Ctrl+↓"},
        {CTocPanel::kDelete,
         TocPanelIcon::Delete,
         "Удалить пункты оглавления",
         {QKeySequence(Qt::Key_Delete)},
         "Delete"},
        {CTocPanel::kFilter,
         TocPanelIcon::Filter,
         "Фильтр уровней",
         {QKeySequence(Qt::CTRL | Qt::Key_L)},
         "Ctrl+L"},
        {CTocPanel::kRefresh, TocPanelIcon::Refresh, "Обновить оглавление", {QKeySequence(Qt::Key_F5)}, "F5"},
        {CTocPanel::kUndo,
         TocPanelIcon::Undo,
         "Отменить",
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)},
         "Ctrl+Z"},
        {CTocPanel::kRedo,
         TocPanelIcon::Redo,
         "Повторить",
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         "Ctrl+Y"},
        {CTocPanel::kMarkAll,
         TocPanelIcon::MarkAll,
         "Пометить все пункты",
         {QKeySequence(Qt::CTRL | Qt::Key_A)},
         "Ctrl+A"},
        // The window's command with the window's key, which works in the list as everywhere.
        {CTocPanel::kNextRemark, TocPanelIcon::NextRemark, "Следующее замечание", {}, "F8"},
    };
    return buttons;
}

// The panel's button whose key this is; 0 for none. A key of the keypad counts as the same key.
int ButtonOfKey(const QKeyEvent& event)
{
    const QKeySequence pressed(
        QKeyCombination(event.modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(event.key())));
    for (const PanelButton& button : PanelButtons())
    {
        if (button.keys.contains(pressed))
            return button.id;
    }
    return 0;
}

bool IsEnterKey(const QKeyEvent& event)
{
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QString ButtonToolTip(const PanelButton& button)
{
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(button.name), QString::fromUtf8(button.keyText));
}
} // namespace

CTocPanel::CTocPanel(IReporter& reporter, QWidget* parent) : QWidget(parent), m_reporter(reporter)
{
    m_model = new CTocListModel(this);
    m_list = new QListView(this);
    m_list->setModel(m_model);
    m_list->setObjectName(QStringLiteral("tocList"));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setUniformItemSizes(false);
    m_list->setWordWrap(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setItemDelegate(new CTocListDelegate(m_list));
    m_list->installEventFilter(this);
    // The panel takes the keyboard focus in its list.
    setFocusProxy(m_list);

    for (const PanelButton& entry : PanelButtons())
    {
        auto* button = new CFlatIconButton(MakeTocPanelIcon(entry.icon, kButtonSide), kButtonSide,
                                           ButtonToolTip(entry), this);
        button->setObjectName(QStringLiteral("button%1").arg(entry.id));
        const int id = entry.id;
        connect(button, &CFlatIconButton::clicked, this, [this, id] { RunButton(id); });
        m_buttons.emplace_back(entry.id, button);
    }

    m_countLabel = new QLabel(QStringLiteral("Пунктов оглавления: 0"), this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    m_markedLabel = new QLabel(QStringLiteral("Помечено: 0"), this);
    m_markedLabel->setObjectName(QStringLiteral("markedLabel"));
    m_countLabel->setFont(QApplication::font());
    m_markedLabel->setFont(QApplication::font());
    m_remarksOnlyBox = new QCheckBox(QStringLiteral("Только с замечаниями"), this);
    m_remarksOnlyBox->setObjectName(QStringLiteral("remarksOnlyBox"));
    m_remarksOnlyBox->setFont(QApplication::font());
    connect(m_remarksOnlyBox, &QCheckBox::toggled, this, [this] { ApplyRemarksFilter(); });
    // Disabled until a next-remark command is attached.
    Button(kNextRemark)->setEnabled(false);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateMarkedLabel(); });
    connect(m_list, &QListView::doubleClicked, this, [this] { JumpToEntry(); });
}

CTocPanel::~CTocPanel() = default;

void CTocPanel::SetEditor(std::unique_ptr<IEntryEditor> editor)
{
    m_editor = std::move(editor);
}

CFlatIconButton* CTocPanel::Button(int id) const
{
    for (const auto& [buttonId, button] : m_buttons)
    {
        if (buttonId == id)
            return button;
    }
    return nullptr;
}

QSize CTocPanel::sizeHint() const
{
    return QSize(300, 100);
}

int CTocPanel::HeightForRows(int rows)
{
    // The list's frame: a pixel or two on each side in every style.
    constexpr int kListFrame = 2 * 2;
    return kListTop + rows * CTocListDelegate::kMinimumRowHeight + kListFrame;
}

void CTocPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    int left = kFirstButtonLeft;
    for (const auto& entry : m_buttons)
    {
        entry.second->setGeometry(left, kButtonTop, kButtonSide, kButtonSide);
        left += kButtonStep;
    }
    m_list->setGeometry(0, kListTop, width(), std::max(0, height() - kListTop));
    m_countLabel->setGeometry(kLabelLeft, 0, kLabelWidth, kLabelHeight);
    m_markedLabel->setGeometry(kLabelLeft, kLabelHeight, kLabelWidth, kLabelHeight);
    m_remarksOnlyBox->setGeometry(kRemarksOnlyLeft, kRemarksOnlyTop, m_remarksOnlyBox->sizeHint().width(),
                                  kRemarksOnlyHeight);
}

bool CTocPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_list)
        return QWidget::eventFilter(watched, event);
    switch (event->type())
    {
    case QEvent::ShortcutOverride:
        // The panel's keys mean its own commands here, not the window's (Ctrl+A marks every row
        // instead of selecting the text).
        if (ButtonOfKey(*static_cast<QKeyEvent*>(event)) != 0)
        {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
    {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnterKey(*key))
        {
            JumpToEntry();
            return true;
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier)
        {
            emit leaveRequested();
            return true;
        }
        if (const int id = ButtonOfKey(*key))
        {
            RunButton(id);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        // The keys act on a current row from the start: the first visible one, left unmarked.
        if (!m_list->currentIndex().isValid() && m_model->rowCount() > 0)
            m_list->selectionModel()->setCurrentIndex(m_model->index(FirstVisibleRow()),
                                                      QItemSelectionModel::NoUpdate);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

int CTocPanel::FirstVisibleRow() const
{
    const QModelIndex top = m_list->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

void CTocPanel::MakeFirstVisible(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_list->scrollTo(m_model->index(row), QAbstractItemView::PositionAtTop);
}

void CTocPanel::FillList(const std::vector<TocEntryRef>& entries, bool keepPosition)
{
    const int firstVisible = FirstVisibleRow();
    const int current = m_list->currentIndex().row();
    m_list->setUpdatesEnabled(false);
    m_model->SetEntries(entries);
    const int count = m_model->rowCount();
    if (keepPosition)
    {
        // The keys go on from the row they were at.
        if (current >= 0 && count > 0)
            m_list->selectionModel()->setCurrentIndex(m_model->index(std::min(current, count - 1)),
                                                      QItemSelectionModel::NoUpdate);
        MakeFirstVisible(std::min(firstVisible, count - 1));
    }
    else
        m_list->scrollToTop();
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    m_countLabel->setText(QStringLiteral("Пунктов оглавления: %1").arg(count));
    ApplyRemarksFilter();
    UpdateMarkedLabel();
}

std::vector<std::size_t> CTocPanel::GetMarkedIndices() const
{
    std::vector<std::size_t> marked;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        marked.push_back(static_cast<std::size_t>(index.row()));
    std::sort(marked.begin(), marked.end());
    return marked;
}

void CTocPanel::UpdateMarkedLabel()
{
    m_markedLabel->setText(
        QStringLiteral("Помечено: %1").arg(m_list->selectionModel()->selectedRows().size()));
}

void CTocPanel::RunButton(int id)
{
    switch (id)
    {
    case kLevelUp:
        RunEntryCommandOnMarked(EntryCommand::LevelUp);
        break;
    case kLevelDown:
        RunEntryCommandOnMarked(EntryCommand::LevelDown);
        break;
    case kToCapitals:
        RunEntryCommandOnMarked(EntryCommand::ToCapitals);
        break;
    case kToSentenceCase:
        RunEntryCommandOnMarked(EntryCommand::ToSentenceCase);
        break;
    case kDelete:
        RunEntryCommandOnMarked(EntryCommand::DeleteBlocks);
        break;
    case kFilter:
        EditLevelFilter();
        break;
    case kRefresh:
        if (m_editor)
            m_editor->RefreshEntries(true);
        break;
    case kUndo:
        UndoOrRedo(true);
        break;
    case kRedo:
        UndoOrRedo(false);
        break;
    case kMarkAll:
        MarkAll();
        break;
    case kNextRemark:
        if (m_nextRemarkAction)
            m_nextRemarkAction->trigger();
        break;
    default:
        break;
    }
}

void CTocPanel::RunEntryCommandOnMarked(EntryCommand command)
{
    if (!m_editor)
        return;
    const std::vector<std::size_t> marked = GetMarkedIndices();
    if (marked.empty())
    {
        m_reporter.Report("Пункты  оглавления не выбраны!", MessageIcon::Error);
        return;
    }
    // The text may have been edited since the list was filled: the command rebuilds the list
    // from the current text and acts only on the marked entries that are still there.
    const EntryCommandResult result = RunEntryCommand(command, m_editor->Lines(), m_model->Entries(), marked,
                                                      m_editor->Filter(), m_editor->Words());
    if (result.Failed())
    {
        m_reporter.Report(result.failure, MessageIcon::Error);
        return;
    }
    m_editor->ApplyEdits(result.edits);
    m_editor->RefreshEntries(true);
}

void CTocPanel::EditLevelFilter()
{
    if (!m_editor)
        return;
    if (EditFilter(m_editor->Filter(), this))
        m_editor->RefreshEntries(false);
}

void CTocPanel::UndoOrRedo(bool undo)
{
    if (!m_editor)
        return;
    if (undo ? !m_editor->CanUndo() : !m_editor->CanRedo())
    {
        QApplication::beep();
        return;
    }
    if (undo)
        m_editor->Undo();
    else
        m_editor->Redo();
    m_editor->RefreshEntries(true);
}

void CTocPanel::JumpToEntry()
{
    const int row = m_list->currentIndex().row();
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_list->clearSelection();
    m_list->selectionModel()->select(m_model->index(row), QItemSelectionModel::Select);
    UpdateMarkedLabel();
    if (m_editor)
        m_editor->ShowLineAtTop(m_model->Entries()[static_cast<std::size_t>(row)].oglLine);
}

QString CTocPanel::KeysHtml()
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                                  "<tr><th>Кнопка</th><th>Команда</th><th>Клавиша</th></tr>");
    const auto row = [&html](const QString& picture, const QString& name, const QString& keys)
    {
        html += QStringLiteral("<tr><td align=\"center\">%1</td><td>%2</td><td><kbd>%3</kbd></td></tr>")
                    .arg(picture, name.toHtmlEscaped(), keys.toHtmlEscaped());
    };
    for (const PanelButton& button : PanelButtons())
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        MakeTocPanelIcon(button.icon, kButtonSide).pixmap(kButtonSide, kButtonSide).save(&buffer, "PNG");
        row(QStringLiteral("<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%2\">")
                .arg(QString::fromLatin1(png.toBase64()))
                .arg(kButtonSide),
            QString::fromUtf8(button.name), QString::fromUtf8(button.keyText));
    }
    row(QString(), QStringLiteral("Пометить пункт или снять пометку"), QStringLiteral("Пробел"));
    row(QString(), QStringLiteral("Перейти к пункту в тексте (или двойной щелчок)"), QStringLiteral("Enter"));
    row(QString(), QStringLiteral("Вернуться в текст"), QStringLiteral("Esc"));
    html += QStringLiteral("</table>");
    return html;
}

void CTocPanel::MarkAll()
{
    const int firstVisible = FirstVisibleRow();
    m_list->setUpdatesEnabled(false);
    m_list->selectAll();
    ApplyRemarksFilter();
    MakeFirstVisible(firstVisible);
    m_list->setUpdatesEnabled(true);
    m_list->viewport()->update();
    UpdateMarkedLabel();
}

void CTocPanel::ShowRemarks(const std::vector<Remark>& remarks)
{
    m_model->SetRemarks(remarks);
    ApplyRemarksFilter();
    UpdateMarkedLabel();
}

void CTocPanel::ApplyRemarksFilter()
{
    const bool remarksOnly = m_remarksOnlyBox->isChecked();
    QItemSelectionModel* const selection = m_list->selectionModel();
    for (int row = 0; row < m_model->rowCount(); ++row)
    {
        const bool hidden = remarksOnly && !m_model->HasRemarks(row);
        m_list->setRowHidden(row, hidden);
        const QModelIndex index = m_model->index(row);
        if (hidden && selection->isSelected(index))
            selection->select(index, QItemSelectionModel::Deselect);
    }
}

void CTocPanel::SelectEntry(std::size_t oglLine)
{
    m_list->clearSelection();
    const std::vector<TocEntryRef>& entries = m_model->Entries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [oglLine](const TocEntryRef& entry) { return entry.oglLine == oglLine; });
    const auto row = static_cast<int>(found - entries.begin());
    if (found != entries.end() && !m_list->isRowHidden(row))
    {
        const QModelIndex index = m_model->index(row);
        m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        m_list->selectionModel()->select(index, QItemSelectionModel::Select);
        m_list->scrollTo(index);
    }
    UpdateMarkedLabel();
}

void CTocPanel::SetNextRemarkAction(QAction* action)
{
    m_nextRemarkAction = action;
    CFlatIconButton* button = Button(kNextRemark);
    const auto follow = [button, action]
    {
        button->setEnabled(action->isEnabled());
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        button->setToolTip(keys.isEmpty() ? action->toolTip()
                                          : QStringLiteral("%1 (%2)").arg(action->toolTip(), keys));
    };
    follow();
    connect(action, &QAction::changed, button, follow);
}
