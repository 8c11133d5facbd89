#include "gui/app/CKestrelView.h"

#include "core/base/Reporter.h"
#include "core/entries/TocEntryList.h"
#include "gui/app/CEditCommands.h"
#include "core/base/ProcessMemory.h"
#include "gui/app/StatusMessages.h"
#include "gui/common/CEditorLines.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>

#include <memory>

namespace
{
// Marks text copied from the editor itself: it is in the editor's characters already and goes back
// in unchanged (a no-break space of a document stays one).
const QString kOwnTextFormat = QStringLiteral("application/x-tirvel-editor-text");

// A new text goes into the editor in parts of about this many characters, with the events served
// in between: a part takes some 20 ms.
constexpr qsizetype kFillSliceChars = qsizetype(1) << 16;

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
    m_history->SetKeeper(CEditorLines::Of(*document()));
    m_editCommands = new CEditCommands(*this, *m_history);
    m_charFormat = QFont(QStringLiteral("Courier New"));
    m_charFormat.setPointSize(10);
    m_charFormat.setStyleHint(QFont::TypeWriter);
    m_charFormat.setFixedPitch(true);
    m_charFormat.setBold(false);
    // Black on white, whatever the desktop's colour scheme.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    // The line at the top keeps the blank space above it that the start of the text has, wherever
    // the text is scrolled to: a jump to an entry puts its marker line there. The document's own
    // margin would give that space to the first line of the text only.
    const int margin = static_cast<int>(document()->documentMargin());
    document()->setDocumentMargin(0);
    setViewportMargins(margin, margin, 0, 0);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    connect(document(), &QTextDocument::contentsChanged, this, &CKestrelView::OnContentsChanged);
    connect(m_history, &CTextEditHistory::availabilityChanged, this, &CKestrelView::editorStateChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CKestrelView::editorStateChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CKestrelView::OnCaretMoved);
    connect(this, &QPlainTextEdit::selectionChanged, this, &CKestrelView::OnCaretMoved);
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

CKestrelView::~CKestrelView()
{
    // The widget's own destructors still emit (the text's last changes, the history's stack going
    // away); by then this object is only a QWidget, so nothing may reach the view's slots any more.
    QObject::disconnect(document(), nullptr, this, nullptr);
    QObject::disconnect(m_history, nullptr, this, nullptr);
    QObject::disconnect(document(), nullptr, m_history, nullptr);
    QObject::disconnect(this, nullptr, this, nullptr);
    QObject::disconnect(QApplication::clipboard(), nullptr, this, nullptr);
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

CTextLines CKestrelView::GetLines() const
{
    return CEditorLines::Of(*document()).Lines();
}

void CKestrelView::ReplaceText(const QString& text)
{
    m_replacingText = true;
    setPlainText(text);
    m_replacingText = false;
}

void CKestrelView::SetLines(const CTextLines& lines, const std::function<void()>& pumpMessages)
{
    TakeLines(CTextLines(lines), pumpMessages);
}

void CKestrelView::TakeLines(CTextLines&& lines, const std::function<void()>& pumpMessages)
{
    // Nothing but the new text may go in while it goes in part by part: the editor is read-only (the
    // editing commands respect that) and its history offers no step.
    setUpdatesEnabled(false);
    setReadOnly(true);
    m_history->Pause();
    const auto endFill = [this]
    {
        m_replacingText = false;
        setReadOnly(false);
        setUpdatesEnabled(true);
        viewport()->update();
    };
    try
    {
        const auto pump = [&pumpMessages]
        {
            if (pumpMessages)
                pumpMessages();
        };
        // The entries are the text's whichever copy they are read from; read before the text goes
        // into the editor, the working memory of their search comes and goes while the editor is
        // still empty instead of on top of the whole text held twice.
        BuildEntries(lines, pump);
        pump();
        ReleaseFreeHeap();
        FillText(lines, pump);
        ApplyCharFormat();
        moveCursor(QTextCursor::Start);
        CEditorLines::Of(*document()).TakeSetLines(lines);
        pump();
        m_history->Restart();
    }
    catch (...)
    {
        endFill();
        m_history->Clear();
        throw;
    }
    endFill();
    emit entriesUpdated(false);
    emit editorStateChanged();
    ReportPosition();
}

void CKestrelView::FillText(const CTextLines& lines, const std::function<void()>& pumpMessages)
{
    m_replacingText = true;
    setPlainText(QString());
    QAbstractTextDocumentLayout* const layout = document()->documentLayout();
    QTextCursor cursor(document());
    for (std::size_t first = 0; first < lines.size();)
    {
        std::size_t end = first;
        for (std::size_t chars = 0; end < lines.size() && chars < kFillSliceChars; ++end)
            chars += lines[end].size() + 1;
        // Told of every part's new size, the view lays out the last screenful of blocks to set its
        // scroll range, and keeps those layouts: thousands of lines laid out for nothing. Once its
        // scroll bar is up it is told once, when the whole text is in (the caller repaints it).
        // Before, it must be told: the scroll bar narrows the view, and a view whose lines wrap lays
        // out every block it has again at a new width.
        const QSignalBlocker quiet(verticalScrollBar()->isVisible() ? layout : nullptr);
        if (first > 0)
            cursor.insertText(QStringLiteral("\n"));
        cursor.insertText(EditorTextOfLines(lines, first, end - first));
        first = end;
        pumpMessages();
    }
    emit layout->documentSizeChanged(layout->documentSize());
}

void CKestrelView::ClearText()
{
    ReplaceText(QString());
    m_history->Clear();
    RefreshEntries(false);
    ReportPosition();
}

void CKestrelView::RefreshEntries(bool keepPosition)
{
    BuildEntries(CEditorLines::Of(*document()).Lines(), {});
    emit entriesUpdated(keepPosition);
}

void CKestrelView::BuildEntries(const CTextLines& lines, const std::function<void()>& pumpMessages)
{
    m_entries = BuildEntryList(lines, m_filter);
    if (pumpMessages)
        pumpMessages();
    m_remarks = FindRemarks(lines);
    m_entriesFollowText = true;
}

void CKestrelView::PutCaretOnLine(std::size_t line)
{
    const QTextBlock block = document()->findBlockByNumber(static_cast<int>(line));
    if (!block.isValid())
        return;
    setTextCursor(QTextCursor(block));
    centerCursor();
    ReportPosition();
}

void CKestrelView::AddContextAction(QAction* action)
{
    m_contextActions.push_back(action);
}

void CKestrelView::ApplyCharFormat()
{
    setFont(m_charFormat);
    // Without a fixed-pitch face the entries' layout of 66 columns would not line up.
    if (!QFontInfo(font()).fixedPitch())
        m_reporter.Report("Ошибка установки шрифта", MessageIcon::Error);
}

void CKestrelView::OnCaretMoved()
{
    // A key or the mouse reports the caret before it acts and again on its release; a new text
    // reports once it is in. Every other move is the program's (undo, a search, a panel command).
    if (m_handlingInput || m_replacingText)
        return;
    ReportPosition();
}

void CKestrelView::OnContentsChanged()
{
    // A whole new text reports where the caret ends up once it is in.
    if (m_replacingText)
        return;
    m_entriesFollowText = false;
    ReportPosition();
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
    if (!isReadOnly())
        AsOneStep([this] { cut(); });
}

void CKestrelView::PasteClipboard()
{
    if (!isReadOnly())
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

void CKestrelView::resizeEvent(QResizeEvent* event)
{
    // A new width would have the editor lay out every line again, giving each a layout object of its
    // own: 170 MB more for a text of 20 MB, each time the window or the panel beside it is resized.
    // Lines that are not wrapped come out the same at any width; the scroll range still follows
    // the lines shown, which are laid out as they are painted.
    if (lineWrapMode() == QPlainTextEdit::NoWrap && event->oldSize().width() != event->size().width())
    {
        QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&sameWidth);
        return;
    }
    QPlainTextEdit::resizeEvent(event);
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
    const QScopedValueRollback handling(m_handlingInput, true);
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
    // Each key is one undo step of its own, whatever it changes. A character the document cannot
    // keep is typed as its stand-in.
    const QString typed = event->text();
    const QString kept = typed.isEmpty() || isReadOnly() ? typed : KeepInput(typed);
    if (kept == typed)
    {
        m_history->BeginStep();
        QPlainTextEdit::keyPressEvent(event);
        m_history->EndStep();
        return;
    }
    if (kept.isEmpty())
        return; // an invisible mark: nothing to type
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                       event->nativeVirtualKey(), event->nativeModifiers(), kept, event->isAutoRepeat(),
                       static_cast<quint16>(event->count()));
    m_history->BeginStep();
    QPlainTextEdit::keyPressEvent(&replaced);
    m_history->EndStep();
}

void CKestrelView::inputMethodEvent(QInputMethodEvent* event)
{
    const QString kept = isReadOnly() ? event->commitString() : KeepInput(event->commitString());
    if (kept == event->commitString())
    {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&replaced);
}

QString CKestrelView::KeepInput(QStringView typed)
{
    EditorInput kept = KeepableInput(typed);
    if (kept.unkept > 0)
        emit statusMessage(UnkeptInputStatus(kept.unkept));
    return std::move(kept.text);
}

bool CKestrelView::viewportEvent(QEvent* event)
{
    switch (event->type())
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    {
        ReportPosition();
        const QScopedValueRollback handling(m_handlingInput, true);
        return QPlainTextEdit::viewportEvent(event);
    }
    default:
        break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void CKestrelView::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // The stock entries act on the document's own history, which is off; route them to ours.
    const auto routeToHistory = [this](QAction* action, bool enabled, void (CTextEditHistory::*command)())
    {
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
    if (!m_contextActions.empty())
    {
        // The window's commands say whether they are available now.
        emit editorStateChanged();
        menu->addSeparator();
        for (QAction* action : m_contextActions)
            menu->addAction(action);
    }
    menu->exec(event->globalPos());
}

void CKestrelView::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source)
        return;
    // A paste or a drop is one step.
    if (source->hasFormat(kOwnTextFormat) || !source->hasText())
    {
        AsOneStep([&] { QPlainTextEdit::insertFromMimeData(source); });
        return;
    }
    QMimeData kept;
    kept.setText(KeepInput(source->text()));
    AsOneStep([&] { QPlainTextEdit::insertFromMimeData(&kept); });
}

QMimeData* CKestrelView::createMimeDataFromSelection() const
{
    // The selection's own characters: the stock copy turns no-break spaces into blanks.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(kOwnTextFormat, QByteArray());
    return data;
}
