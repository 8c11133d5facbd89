// The editing commands of the main window on the view: the case of the selection, the ОГЛ/КОН tag,
// deleting the entry lines in the selection (with their undo steps), search and replace, printing.

#include "GuiTestSupport.h"

#include "core/base/CodePage.h"
#include "core/document/Markers.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/widgets/CFindReplaceDlg.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

namespace
{
const std::string kOgl = Cp1251ToUtf8(MarkerLine(Marker::Ogl));
const std::string kKon = Cp1251ToUtf8(MarkerLine(Marker::Kon));

void SetText(CKestrelView& view, const std::vector<std::string>& utf8Lines)
{
    std::vector<std::string> lines;
    for (const std::string& line : utf8Lines)
        lines.push_back(Utf8ToCp1251(line));
    view.SetLines(lines);
}

// Selects from (line, column) to (line, column) of the editor text.
void Select(CKestrelView& view, int fromLine, int fromColumn, int toLine, int toColumn)
{
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(view.document()->findBlockByNumber(fromLine).position() + fromColumn);
    cursor.setPosition(view.document()->findBlockByNumber(toLine).position() + toColumn,
                       QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
}

std::vector<std::string> Block(std::initializer_list<std::string> entryLines)
{
    std::vector<std::string> lines{kOgl};
    lines.insert(lines.end(), entryLines);
    lines.push_back(kKon);
    return lines;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
} // namespace

class EditCmdsTest : public QObject
{
    Q_OBJECT

private slots:
    void SelectionCaseIsOneStep()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        const struct
        {
            int command;
            std::string before;
            std::string after;
        } cases[] = {
            {CommandId::UpperCase, "статья 5. общие положения", "СТАТЬЯ 5. ОБЩИЕ ПОЛОЖЕНИЯ"},
            {CommandId::LowerCase, "ЁЛКА and LATIN", "ёлка and latin"},
        };
        for (const auto& c : cases)
        {
            SetText(view, {"первая", c.before, "последняя"});
            QVERIFY(!window.m_frame->Action(c.command)->isEnabled() || view.textCursor().hasSelection());
            view.moveCursor(QTextCursor::Start);
            window.m_frame->UpdateCommandStates();
            QVERIFY(!window.m_frame->Action(c.command)->isEnabled());
            Select(view, 1, 0, 1, static_cast<int>(QString::fromStdString(c.before).size()));
            window.m_frame->UpdateCommandStates();
            QVERIFY(window.m_frame->Action(c.command)->isEnabled());
            window.m_frame->Action(c.command)->trigger();
            QCOMPARE(EditorLines(view), std::vector<std::string>({"первая", c.after, "последняя"}));
            QCOMPARE(view.History().StepCount(), 1);
            window.m_frame->OnCommand(CommandId::EditUndo);
            QCOMPARE(EditorLines(view), std::vector<std::string>({"первая", c.before, "последняя"}));
        }
    }

    void TagGoesInFrontOfTheCurrentLine()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        std::vector<std::string> lines;
        for (int i = 0; i < 14; ++i)
            lines.push_back("строка " + std::to_string(i));
        SetText(view, lines);
        for (const int column : {0, 4})
        {
            Select(view, 10, column, 10, column);
            const int caret = view.textCursor().position();
            window.m_frame->Action(CommandId::InsertTocTag)->trigger();
            const std::vector<std::string> now = EditorLines(view);
            QCOMPARE(now[10], kOgl);
            QCOMPARE(now[11], kKon);
            QCOMPARE(now[12], "строка 10");
            QCOMPARE(now.size(), lines.size() + 2);
            QCOMPARE(view.textCursor().position(), caret);
            QVERIFY(!view.textCursor().hasSelection());
            QCOMPARE(view.History().StepCount(), 1);
            window.m_frame->OnCommand(CommandId::EditUndo);
            QCOMPARE(EditorLines(view), lines);
        }
    }

    void DeleteEntryLinesInTheSelection_data()
    {
        QTest::addColumn<int>("fromLine");
        QTest::addColumn<int>("toLine");
        QTest::addColumn<int>("deleted");
        // Lines: 0 text, 1 ОГЛ, 2 "*", 3 "Глава 1", 4 КОН, 5 text, 6 ОГЛ, 7 "**", 8 "Статья 1", 9
        // "продолжение", 10 КОН, 11 text
        QTest::newRow("ОГЛ line to the line after КОН") << 1 << 5 << 2;
        QTest::newRow("both blocks") << 0 << 11 << 5;
        QTest::newRow("ends on an entry line") << 6 << 9 << 2;
        QTest::newRow("inside a single line") << 3 << 3 << 0;
        QTest::newRow("starts below the ОГЛ line") << 7 << 11 << 0;
    }

    void DeleteEntryLinesInTheSelection()
    {
        QFETCH(int, fromLine);
        QFETCH(int, toLine);
        QFETCH(int, deleted);
        TestWindow window;
        CKestrelView& view = window.View();
        const std::vector<std::string> lines = Concat({{"текст"},
                                                       Block({"*", "Глава 1"}),
                                                       {"текст"},
                                                       Block({"**", "Статья 1", "продолжение"}),
                                                       {"текст"}});
        SetText(view, lines);
        Select(view, fromLine, 0, toLine, toLine == fromLine ? 3 : 0);
        window.m_frame->OnCommand(CommandId::DeleteTocEntries);

        const std::vector<std::string> now = EditorLines(view);
        QCOMPARE(now.size(), lines.size() - static_cast<std::size_t>(deleted));
        QCOMPARE(std::count(now.begin(), now.end(), kOgl), 2);
        QCOMPARE(std::count(now.begin(), now.end(), kKon), 2);
        QCOMPARE(view.History().StepCount(), deleted);

        // Each undo brings back one line, the last deleted first.
        for (int step = 0; step < deleted; ++step)
        {
            window.m_frame->OnCommand(CommandId::EditUndo);
            QCOMPARE(EditorLines(view).size(), now.size() + static_cast<std::size_t>(step) + 1);
        }
        QCOMPARE(EditorLines(view), lines);
    }

    void ThreeDeletedLinesComeBackLastFirst()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        const std::vector<std::string> lines = Concat({Block({"**", "Статья 1", "продолжение"}), {"после"}});
        SetText(view, lines);
        Select(view, 0, 0, 5, 0);
        window.m_frame->OnCommand(CommandId::DeleteTocEntries);
        QCOMPARE(EditorLines(view), std::vector<std::string>({kOgl, kKon, "после"}));
        window.m_frame->OnCommand(CommandId::EditUndo);
        QCOMPARE(EditorLines(view), std::vector<std::string>({kOgl, "продолжение", kKon, "после"}));
        window.m_frame->OnCommand(CommandId::EditUndo);
        window.m_frame->OnCommand(CommandId::EditUndo);
        QCOMPARE(EditorLines(view), lines);
    }

    void FindAndReplace()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        SetText(view, {"Закон о фондах", "закон и ЗАКОН", "конец"});
        view.moveCursor(QTextCursor::Start);
        window.m_frame->OnCommand(CommandId::EditReplace);
        auto* dialog = view.window()->findChild<CFindReplaceDlg*>();
        QVERIFY(dialog && dialog->isVisible());
        dialog->m_findEdit->setText(QStringLiteral("закон"));
        dialog->m_replaceEdit->setText(QStringLiteral("акт"));

        QVERIFY(dialog->FindNext());
        QCOMPARE(view.textCursor().selectedText(), QStringLiteral("Закон"));
        window.m_frame->OnCommand(CommandId::EditRepeat);
        QCOMPARE(view.textCursor().blockNumber(), 1);
        QCOMPARE(view.textCursor().selectedText(), QStringLiteral("закон"));

        dialog->m_matchCase->setChecked(true);
        view.moveCursor(QTextCursor::Start);
        QVERIFY(dialog->ReplaceCurrent()); // nothing selected yet: finds the first match only
        QCOMPARE(EditorLines(view)[1], "закон и ЗАКОН");
        QVERIFY(!dialog->ReplaceCurrent()); // replaces it; there is no further match
        QCOMPARE(EditorLines(view)[1], "акт и ЗАКОН");

        // The replacement is typed as the document will keep it.
        dialog->m_replaceEdit->clear();
        for (const QChar ch : QStringLiteral("«акт»"))
            QTest::sendKeyEvent(QTest::Click, dialog->m_replaceEdit, Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
        QCOMPARE(dialog->m_replaceEdit->text(), QStringLiteral("\"акт\""));

        dialog->m_matchCase->setChecked(false);
        const int steps = view.History().StepCount();
        QCOMPARE(dialog->ReplaceAll(), 2);
        QCOMPARE(EditorLines(view), std::vector<std::string>({"\"акт\" о фондах", "акт и \"акт\"", "конец"}));
        QCOMPARE(view.History().StepCount(), steps + 1);
    }

    void PrintsToPdfThroughTheDialog()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        std::vector<std::string> lines;
        for (int i = 0; i < 150; ++i)
            lines.push_back("Строка текста документа номер " + std::to_string(i));
        SetText(view, lines);
        const QString pdf = window.Path(QStringLiteral("printed.pdf"));
        QTimer::singleShot(0,
                           [&]
                           {
                               auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                               QVERIFY(dialog);
                               // Without printers the dialog offers printing to a PDF file: the operator
                               // types its name.
                               auto* fileEdit = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
                               QVERIFY(fileEdit);
                               fileEdit->setText(pdf);
                               QMetaObject::invokeMethod(dialog, "accept");
                           });
        window.m_frame->OnCommand(CommandId::FilePrint);
        const QByteArray bytes = ReadBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        // 150 lines in a 10-point font take more than one page ("/Type /Pages" counts once too).
        QVERIFY(bytes.count("/Type /Page") >= 3);
    }
};

QTEST_MAIN(EditCmdsTest)
#include "test_editcmds.moc"
