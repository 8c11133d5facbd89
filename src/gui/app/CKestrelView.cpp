#include "gui/app/CKestrelView.h"

#include "core/base/Reporter.h"
#include "core/entries/TocEntryList.h"
#include "gui/app/CEditCommands.h"
#include "gui/common/CEditorLines.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>

#include <memory>

namespace
{
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
} // namespace

CKestrelView::CKestrelView(const CContentFilter& filter, IReporter& reporter, QWidget* parent)
    : QPlainTextEdit(parent), m_filter(filter), m_reporter(reporter)
{
    m_history = new CTextEditHistory(this);
    m_editCommands = new CEditCommands(*this, *m_history);
    m_charFormat = QFont(QStringLiteral("Courier New"));
    m_charFormat.setPointSize(10);
    m_charFormat.setStyleHint(QFont::TypeWriter);
    m_charFormat.setFixedPitch(true);
    m_charFormat.setBold(false);

    connect(document(), &QTextDocument::contentsChanged, this, &CKestrelView::OnContentsChanged);
    connect(m_history, &CTextEditHistory::availabilityChanged, this, &CKestrelView::editorStateChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CKestrelView::editorStateChanged);
    // Asking the clipboard may mean a round trip to another program: ask when it changes, not on
    // every key.
    m_canPaste = canPaste();
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this]
            {
                m_canPaste = canPaste();
                emit editorStateChanged();
            });
}

void CKestrelView::InitialUpdate()
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    selectAll();
    ApplyCharFormat();
    moveCursor(QTextCursor::Start);
    m_history->Clear();
}

// ---------------------------------------------------------------------------------------------
// Text

std::vector<std::string> CKestrelView::GetLines() const
{
    return CEditorLines::Of(*document()).Lines();
}

void CKestrelView::ReplaceText(const QString& text)
{
    m_replacingText = true;
    setPlainText(text);
    m_replacingText = false;
}

void CKestrelView::SetLines(const std::vector<std::string>& lines)
{
    setUpdatesEnabled(false);
    ReplaceText(EditorTextOfLines(lines));
    selectAll();
    ApplyCharFormat();
    moveCursor(QTextCursor::Start);
    CEditorLines::Of(*document()).TakeSetLines(lines);
    m_entries = BuildEntryList(lines, m_filter);
    emit entriesUpdated(false);
    setUpdatesEnabled(true);
    viewport()->update();
    m_history->Clear();
}

void CKestrelView::ClearText()
{
    ReplaceText(QString());
    m_history->Clear();
    m_entries.clear();
    RefreshEntries(false);
}

void CKestrelView::RefreshEntries(bool keepPosition)
{
    m_entries = BuildEntryList(CEditorLines::Of(*document()).Lines(), m_filter);
    emit entriesUpdated(keepPosition);
}

void CKestrelView::ApplyCharFormat()
{
    setFont(m_charFormat);
    // Without a fixed-pitch face the entries' layout of 66 columns would not line up.
    if (!QFontInfo(font()).fixedPitch())
        m_reporter.Report("Ошибка установки шрифта", MessageIcon::Error);
}

void CKestrelView::OnContentsChanged()
{
    if (!m_replacingText)
        emit textEdited();
}

// ---------------------------------------------------------------------------------------------
// Editing commands

void CKestrelView::Undo()
{
    m_history->Undo();
}

void CKestrelView::Redo()
{
    m_history->Redo();
}

void CKestrelView::CutSelection()
{
    AsOneStep([this] { cut(); });
}

void CKestrelView::PasteClipboard()
{
    AsOneStep([this] { paste(); });
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
