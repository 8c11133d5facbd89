#include "gui/app/RemarkCommands.h"

#include "core/base/Reporter.h"
#include "core/remarks/HeadingInsertion.h"
#include "core/workflow/CDocumentSession.h"
#include "gui/app/CKestrelDoc.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CSessionHost.h"
#include "gui/app/CommandIds.h"
#include "gui/app/StatusMessages.h"
#include "gui/common/CEditorLines.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/EditorText.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QTextBlock>

#include <algorithm>

std::optional<RemarkStop> NextRemarkStop(const std::vector<Remark>& remarks, std::size_t caretLine)
{
    if (remarks.empty())
        return std::nullopt;
    // The remarks come ordered by line.
    auto first = std::find_if(remarks.begin(), remarks.end(),
                              [caretLine](const Remark& remark) { return remark.line > caretLine; });
    RemarkStop stop;
    if (first == remarks.end())
    {
        first = remarks.begin();
        stop.wrapped = true;
    }
    stop.line = first->line;
    stop.oglLine = first->oglLine;
    for (auto remark = first; remark != remarks.end() && remark->line == first->line; ++remark)
        stop.remarks.push_back(*remark);
    return stop;
}

HeadingLines SelectedHeading(const CKestrelView& view, const CTextLines& lines)
{
    const QTextCursor cursor = view.textCursor();
    const QTextDocument& document = *view.document();
    HeadingLines heading;
    heading.first = static_cast<std::size_t>(document.findBlock(cursor.selectionStart()).blockNumber());
    if (!cursor.hasSelection())
    {
        heading.last = HeadingParagraphEnd(lines, heading.first);
        return heading;
    }
    const QTextBlock end = document.findBlock(cursor.selectionEnd());
    heading.last = static_cast<std::size_t>(end.blockNumber());
    if (heading.last > heading.first && cursor.selectionEnd() == end.position())
        --heading.last;
    return heading;
}

void GoToNextRemark(const RemarkTargets& targets)
{
    CKestrelView& view = targets.view;
    if (view.isReadOnly())
        return;
    if (!view.EntriesFollowText())
        view.RefreshEntries(true);
    const auto caretLine = static_cast<std::size_t>(view.textCursor().block().blockNumber());
    const std::optional<RemarkStop> stop = NextRemarkStop(view.Remarks(), caretLine);
    if (!stop)
    {
        targets.window.statusBar()->clearMessage();
        return;
    }
    view.PutCaretOnLine(stop->line);
    targets.selectEntry(stop->oglLine);
    QStringList texts;
    for (const Remark& remark : stop->remarks)
        texts.append(EditorTextOfLine(remark.text));
    targets.window.statusBar()->showMessage(NextRemarkStatus(texts.join(QLatin1Char('\n')), stop->wrapped));
}

void AddHeadingToToc(const RemarkTargets& targets)
{
    CKestrelView& view = targets.view;
    CKestrelDoc& doc = targets.doc;
    if (view.isReadOnly())
        return;
    CEntryEditorQt editor(view, view.History(), doc.m_filter, &doc.m_words,
                          [&view](bool keepPosition) { view.RefreshEntries(keepPosition); });
    const CTextLines& lines = editor.Lines();
    const HeadingLines heading = SelectedHeading(view, lines);
    const EntryCommandResult result = AddHeadingEdits(lines, heading.first, heading.last, doc.m_words,
                                                      doc.m_kinds, targets.host.Session().Recognition());
    if (result.Failed())
    {
        targets.reporter.Report(result.failure, MessageIcon::Error);
        return;
    }
    if (result.edits.empty())
        return;
    const std::size_t oglLine = result.edits.front().firstLine;
    editor.ApplyEdits(result.edits);
    editor.RefreshEntries(true);
    targets.selectEntry(oglLine);
}

std::vector<MainCommand> RemarkCommands(const RemarkTargets& targets)
{
    CKestrelView& view = targets.view;
    const CDocumentSession& session = targets.host.Session();
    return {
        {CommandId::NextRemark,
         "С&ледующее замечание",
         "Переход к следующему заголовку с замечанием к оглавлению",
         "Следующее замечание",
         {QKeySequence(Qt::Key_F8)},
         [targets] { GoToNextRemark(targets); },
         [&view, &session] { return !session.IsBusy() && !view.Remarks().empty(); },
         {}},
        {CommandId::AddHeadingToToc,
         "До&бавить заголовок в оглавление",
         "Вставка перед выделенным заголовком блока оглавления с пунктом, как его строит распознавание",
         "Добавить заголовок в оглавление",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert)},
         [targets] { AddHeadingToToc(targets); },
         [&view, &session] { return !session.IsBusy() && !view.document()->isEmpty(); },
         {}},
    };
}
