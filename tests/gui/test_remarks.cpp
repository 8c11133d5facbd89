// The remarks in the editor: the panel's sign column and tooltips, the box that shows only the rows
// with remarks, the next-remark command with its wrap, and the add-heading command, which must give
// the block the recognition writes when it finds the heading itself.

#include "GuiTestSupport.h"

#include "core/base/CodePage.h"
#include "core/entries/TocEntryList.h"
#include "core/remarks/Remarks.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/panel/CTocListDelegate.h"
#include "gui/panel/CTocPanel.h"
#include "gui/widgets/CFlatIconButton.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

namespace
{
// The first line of the heading whose block's entry holds utf8Title.
std::size_t HeadingLine(const std::vector<std::string>& lines, const std::string& utf8Title)
{
    for (const TocEntryRef& entry : BuildEntryList(lines, CContentFilter()))
        if (Cp1251ToUtf8(entry.text).find(utf8Title) != std::string::npos)
            return entry.konLine + 1;
    qFatal("no entry %s", utf8Title.c_str());
}

// lines without the blocks of the headings named: as if the recognition had missed them.
std::vector<std::string> WithoutBlocks(std::vector<std::string> lines,
                                       std::initializer_list<std::string> titles)
{
    for (const std::string& title : titles)
    {
        for (const TocEntryRef& entry : BuildEntryList(lines, CContentFilter()))
        {
            if (Cp1251ToUtf8(entry.text).find(title) != std::string::npos)
            {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(entry.oglLine),
                            lines.begin() + static_cast<std::ptrdiff_t>(entry.konLine + 1));
                break;
            }
        }
    }
    return lines;
}

struct RemarksRig
{
    explicit RemarksRig(const std::vector<std::string>& lines)
    {
        m_window.m_frame->resize(900, 700);
        m_window.m_frame->show();
        m_window.m_frame->resizeDocks({m_window.m_frame->TocDock()}, {300}, Qt::Vertical);
        if (!QTest::qWaitForWindowExposed(m_window.m_frame.get()))
            qFatal("window not shown");
        View().SetLines(lines);
    }

    CKestrelView& View() const { return m_window.View(); }
    CTocPanel& Panel() const { return *static_cast<CTocPanel*>(m_window.m_frame->TocDock()->widget()); }
    QListView& List() const { return *Panel().List(); }
    QAction& Action(int id) const { return *m_window.m_frame->Action(id); }
    QString Status() const { return m_window.m_frame->statusBar()->currentMessage(); }
    QString RemarksPane() const
    {
        const QLabel* pane = m_window.m_frame->RemarksPane();
        return pane->isVisible() ? pane->text() : QString();
    }
    std::size_t CaretLine() const { return static_cast<std::size_t>(View().textCursor().blockNumber()); }
    void PutCaret(std::size_t line) const
    {
        View().setTextCursor(QTextCursor(View().document()->findBlockByNumber(static_cast<int>(line))));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        View().setFocus();
        QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
    }
    QString RowRemarks(int row) const
    {
        return List().model()->index(row, 0).data(CTocListDelegate::kRemarkRole).toString();
    }
    std::vector<int> RemarkedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < List().model()->rowCount(); ++row)
            if (!RowRemarks(row).isEmpty())
                rows.push_back(row);
        return rows;
    }
    std::vector<int> ShownRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < List().model()->rowCount(); ++row)
            if (!List().isRowHidden(row))
                rows.push_back(row);
        return rows;
    }
    // The row whose block's ОГЛ line is oglLine.
    int RowOf(std::size_t oglLine) const
    {
        const std::vector<TocEntryRef>& entries = View().Entries();
        const auto found =
            std::find_if(entries.begin(), entries.end(),
                         [oglLine](const TocEntryRef& entry) { return entry.oglLine == oglLine; });
        return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    }
    std::vector<std::size_t> Marked() const { return Panel().GetMarkedIndices(); }

    TestWindow m_window;
};

// Two articles the recognition missed: each leaves a gap in the numbers of the articles.
const std::vector<std::string>& TwoMissed()
{
    static const std::vector<std::string> lines =
        WithoutBlocks(ProcessedSample(), {"Статья 2.", "Статья 5."});
    return lines;
}
} // namespace

class RemarksTest : public QObject
{
    Q_OBJECT

private slots:
    void RowsWithRemarksShowTheSignAndTheMessage()
    {
        const std::vector<Remark> remarks = FindRemarks(TwoMissed());
        QVERIFY(remarks.size() >= 2);
        RemarksRig rig(TwoMissed());
        QCOMPARE(rig.RemarksPane(), QStringLiteral("Замечаний: %1").arg(remarks.size()));

        // Every remark marks the row of its block with its message, and no other row is marked.
        std::vector<int> expectedRows;
        for (const Remark& remark : remarks)
        {
            const int row = rig.RowOf(remark.oglLine);
            QVERIFY(row >= 0);
            QVERIFY(rig.RowRemarks(row)
                        .split(QLatin1Char('\n'))
                        .contains(QString::fromStdString(Cp1251ToUtf8(remark.text))));
            if (expectedRows.empty() || expectedRows.back() != row)
                expectedRows.push_back(row);
        }
        QCOMPARE(rig.RemarkedRows(), expectedRows);

        // The sign stands in a column of its own, left of the text: a row with a remark has it, a row
        // without one has nothing drawn there.
        const int without = expectedRows.front() == 0 ? 1 : 0;
        QVERIFY(std::find(expectedRows.begin(), expectedRows.end(), without) == expectedRows.end());
        const auto signPixels = [&](int row)
        {
            rig.List().scrollTo(rig.List().model()->index(row, 0));
            const QImage shot = rig.List().viewport()->grab().toImage();
            const QRect cell = rig.List().visualRect(rig.List().model()->index(row, 0));
            if (!shot.rect().contains(cell))
                return -1; // not wholly in sight
            int coloured = 0;
            for (int y = cell.top() + 1; y < cell.bottom() - 1; ++y)
                for (int x = cell.left(); x < cell.left() + CTocListDelegate::kRemarkColumnWidth; ++x)
                    coloured += QColor(shot.pixel(x, y)) != QColor(Qt::white) ? 1 : 0;
            return coloured;
        };
        QVERIFY(signPixels(expectedRows.front()) > 30);
        QCOMPARE(signPixels(without), 0);

        // Hovering over the row shows its remarks.
        const int row = expectedRows.front();
        rig.List().scrollTo(rig.List().model()->index(row, 0));
        const QPoint centre = rig.List().visualRect(rig.List().model()->index(row, 0)).center();
        QHelpEvent hover(QEvent::ToolTip, centre, rig.List().viewport()->mapToGlobal(centre));
        QApplication::sendEvent(rig.List().viewport(), &hover);
        QCOMPARE(QToolTip::text(), rig.RowRemarks(row));

        // A whole table of contents gets no remark: the count disappears from the status line.
        rig.View().SetLines(ProcessedSample());
        QCOMPARE(FindRemarks(ProcessedSample()), std::vector<Remark>());
        QCOMPARE(rig.RemarkedRows(), std::vector<int>());
        QCOMPARE(rig.RemarksPane(), QString());
        QVERIFY(!rig.Action(CommandId::NextRemark).isEnabled());
        QVERIFY(!rig.Panel().Button(CTocPanel::kNextRemark)->isEnabled());
    }

    void BoxShowsOnlyTheRowsWithRemarks()
    {
        RemarksRig rig(TwoMissed());
        const std::vector<int> remarked = rig.RemarkedRows();
        const int all = rig.List().model()->rowCount();
        QVERIFY(!remarked.empty() && static_cast<int>(remarked.size()) < all);
        rig.Panel().MarkAll();

        rig.Panel().RemarksOnlyBox()->click();
        QCOMPARE(rig.ShownRows(), remarked);
        // A row out of sight keeps no mark, so no command acts on it.
        QCOMPARE(rig.Marked(), std::vector<std::size_t>(remarked.begin(), remarked.end()));
        QCOMPARE(rig.Panel().MarkedLabel()->text(), QStringLiteral("Помечено: %1").arg(remarked.size()));

        // A rebuild keeps the choice; the rows follow the remarks of the new text.
        rig.Panel().RunButton(CTocPanel::kRefresh);
        QCOMPARE(rig.ShownRows(), remarked);
        rig.Panel().MarkAll();
        QCOMPARE(rig.Marked().size(), remarked.size());
        rig.View().SetLines(ProcessedSample());
        QCOMPARE(rig.ShownRows(), std::vector<int>());

        rig.Panel().RemarksOnlyBox()->click();
        QCOMPARE(static_cast<int>(rig.ShownRows().size()), rig.List().model()->rowCount());
    }

    void NextRemarkGoesDownAndWraps()
    {
        RemarksRig rig(TwoMissed());
        std::vector<std::size_t> headings;
        for (const Remark& remark : rig.View().Remarks())
            if (headings.empty() || headings.back() != remark.line)
                headings.push_back(remark.line);
        QVERIFY(headings.size() >= 2);
        QVERIFY(rig.Action(CommandId::NextRemark).isEnabled());
        QVERIFY(rig.Panel().Button(CTocPanel::kNextRemark)->isEnabled());
        QVERIFY(rig.Panel().Button(CTocPanel::kNextRemark)->toolTip().contains(QStringLiteral("F8")));

        rig.PutCaret(0);
        for (const std::size_t heading : headings)
        {
            rig.Key(Qt::Key_F8);
            QCOMPARE(rig.CaretLine(), heading);
            const Remark& remark = *std::find_if(rig.View().Remarks().begin(), rig.View().Remarks().end(),
                                                 [heading](const Remark& r) { return r.line == heading; });
            QCOMPARE(rig.Marked(),
                     std::vector<std::size_t>{static_cast<std::size_t>(rig.RowOf(remark.oglLine))});
            QVERIFY(rig.Status().contains(QString::fromStdString(Cp1251ToUtf8(remark.text))));
            QVERIFY(!rig.Status().contains(QStringLiteral("с начала")));
        }

        // Past the last one the command starts again at the top and says so.
        rig.Panel().RunButton(CTocPanel::kNextRemark);
        QCOMPARE(rig.CaretLine(), headings.front());
        QVERIFY(rig.Status().contains(QStringLiteral("с начала")));

        // A text changed since the remarks were found is checked again before the caret moves.
        rig.PutCaret(0);
        QTextCursor(rig.View().document()).insertText(QStringLiteral("\n\n"));
        QVERIFY(!rig.View().EntriesFollowText());
        rig.Key(Qt::Key_F8);
        QCOMPARE(rig.CaretLine(), headings.front() + 2);
    }

    // The mended document is byte for byte the one in which the recognition found the heading itself,
    // and the mend is one step of the editor's history.
    void AddHeadingWritesTheRecognisedBlockAsOneStep()
    {
        const std::vector<std::string> processed = ProcessedSample();
        const std::vector<std::string> missed = WithoutBlocks(processed, {"Статья 2."});
        const std::size_t heading = HeadingLine(processed, "Статья 2.");
        RemarksRig rig(missed);
        QVERIFY(!rig.View().Remarks().empty());
        CTextEditHistory& history = rig.View().History();
        const int steps = history.StepCount();

        // The heading's line in the text without its block.
        const std::size_t blockSize = processed.size() - missed.size();
        const std::size_t line = heading - blockSize;
        QCOMPARE(Cp1251ToUtf8(missed[line]).find("Статья 2."), std::size_t(5));

        // The caret on its first line takes the paragraph.
        rig.PutCaret(line);
        rig.Key(Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(rig.m_window.m_prompter.m_messages.empty());
        QCOMPARE(rig.View().GetLines(), processed);
        QCOMPARE(history.StepCount(), steps + 1);
        // The remarks follow: the mended table of contents is whole.
        QCOMPARE(rig.View().Remarks(), std::vector<Remark>());
        QCOMPARE(rig.RemarksPane(), QString());
        QCOMPARE(rig.Marked(), std::vector<std::size_t>{static_cast<std::size_t>(rig.RowOf(line))});
        QCOMPARE(rig.CaretLine(), heading);

        rig.View().Undo();
        QCOMPARE(rig.View().GetLines(), missed);

        // The same with the heading's line selected, through the text's context menu.
        QTextCursor cursor(rig.View().document()->findBlockByNumber(static_cast<int>(line)));
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        rig.View().setTextCursor(cursor);
        bool offered = false;
        QTimer::singleShot(0,
                           [&]
                           {
                               QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                               QAction* add = &rig.Action(CommandId::AddHeadingToToc);
                               offered = menu && menu->actions().contains(add) && add->isEnabled();
                               if (menu)
                                   menu->close();
                               if (offered)
                                   add->trigger();
                           });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(10, 10),
                                rig.View().viewport()->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(rig.View().viewport(), &event);
        QVERIFY(offered);
        QCOMPARE(rig.View().GetLines(), processed);
    }

    void AddHeadingRefusesWhatIsNoMissedHeading()
    {
        const std::vector<std::string> processed = ProcessedSample();
        RemarksRig rig(processed);
        const int steps = rig.View().History().StepCount();
        const std::size_t blank = HeadingLine(processed, "Статья 2.") + 1;
        QVERIFY(processed[blank].empty());
        // A blank line, and a heading that already has its block.
        for (const std::size_t line : {blank, HeadingLine(processed, "Статья 2.")})
        {
            rig.m_window.m_prompter.m_messages.clear();
            rig.PutCaret(line);
            rig.Action(CommandId::AddHeadingToToc).trigger();
            QCOMPARE(rig.m_window.m_prompter.m_messages.size(), std::size_t(1));
            QCOMPARE(rig.m_window.m_prompter.m_messages[0].icon, MessageIcon::Error);
            QVERIFY(!rig.m_window.m_prompter.m_messages[0].text.empty());
        }
        QCOMPARE(rig.View().GetLines(), processed);
        QCOMPARE(rig.View().History().StepCount(), steps);

        rig.View().ClearText();
        rig.m_window.m_frame->UpdateCommandStates();
        QVERIFY(!rig.Action(CommandId::AddHeadingToToc).isEnabled());
    }
};

QTEST_MAIN(RemarksTest)
#include "test_remarks.moc"
