// The editor surface: the byte <-> character bridge, one undo step per key and per command with a
// bounded history, the position pane and the swallowed F1.

#include "GuiTestSupport.h"

#include "core/base/CodePage.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/entries/CContentFilter.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QtTest>

#include <random>

namespace
{
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Lines of the bytes that are hardest to carry between the editor and the lines: carriage return,
// no-break space, the marker byte, a box code, Cyrillic letters.
std::vector<std::string> RandomLines(std::mt19937& random, std::size_t maxCount)
{
    static const char kBytes[] = {'a', ' ', '\r', '\x04', '\x10', '\xA0', '\xC0', '\xFF'};
    std::vector<std::string> lines(random() % (maxCount + 1));
    for (std::string& line : lines)
        for (std::size_t i = random() % 5; i > 0; --i)
            line += kBytes[random() % sizeof kBytes];
    return lines;
}
} // namespace

class EditorTest : public QObject
{
    Q_OBJECT

private slots:
    // Every byte a document can load with shows as a character that gives the byte back, so a
    // document survives the editor unchanged.
    void EveryLoadableByteSurvivesTheEditor()
    {
        std::string all866;
        for (int byte = 0; byte < 256; ++byte)
        {
            if (byte != '\n')
                all866 += static_cast<char>(byte);
        }
        BoxCharsToCodes(all866);
        TestWindow window;
        CKestrelView& view = window.View();
        const std::vector<std::string> lines{Cp866ToCp1251(all866), "",
                                             std::string("\x04\x04") + Utf8ToCp1251("ОГЛ"), "\x1B\x16\x1A"};
        view.SetLines(lines);
        QCOMPARE(view.GetLines(), lines);

        const QString shown = view.toPlainText();
        QVERIFY(!shown.contains(QChar(0x04)));
        QCOMPARE(EditorTextOfLine("\x04\x04"), QStringLiteral("♦♦"));
        QCOMPARE(EditorTextOfLine("\x1B\x16\x1A"), QStringLiteral("┌─┐"));
        QCOMPARE(LineOfEditorText(u"Ж€☺"), Utf8ToCp1251("Ж€☺"));
        QCOMPARE(LineOfEditorText(u"日"), std::string("?"));
    }

    void LinesOfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("final break makes no line") << QStringLiteral("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("inner empty lines stay") << QStringLiteral("a\n\nb") << QStringList{"a", "", "b"};
        QTest::newRow("carriage returns at ends go") << QStringLiteral("a\r\r\nb\r") << QStringList{"a", "b"};
        QTest::newRow("one break") << QStringLiteral("\n") << QStringList{""};
    }

    void LinesOfText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        std::vector<std::string> expected;
        for (const QString& line : lines)
            expected.push_back(line.toStdString());
        QCOMPARE(LinesOfEditorText(text), expected);
    }

    void EachKeyIsOneStepAndTheHistoryIsBounded()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        window.m_frame->show();
        view.setFocus();
        view.SetLines(Cp1251Lines({"первая", "вторая"}));
        QVERIFY(!view.History().CanUndo());

        TypeText(&view, QStringLiteral("жук"));
        QCOMPARE(view.History().StepCount(), 3);
        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(EditorLines(view).front(), std::string("жупервая"));
        QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(EditorLines(view).front(), std::string("жукпервая"));
        QTest::keyClick(&view, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(EditorLines(view).front(), std::string("жупервая"));

        // Typing over a selection (removal and insertion) is still one step.
        view.selectAll();
        TypeText(&view, QStringLiteral("я"));
        window.m_frame->OnCommand(CommandId::EditUndo);
        QCOMPARE(EditorLines(view), (std::vector<std::string>{"жупервая", "вторая"}));

        for (int i = 0; i < 130; ++i)
            TypeText(&view, QStringLiteral("ы"));
        QCOMPARE(view.History().StepCount(), CTextEditHistory::kStepLimit);
        while (view.History().CanUndo())
            view.History().Undo();
        // The 32 oldest steps are gone: the first two keys and 30 of the later ones.
        QCOMPARE(view.toPlainText().count(QChar(u'ы')), 30);
        QVERIFY(view.toPlainText().startsWith(QStringLiteral("жупервая")));
    }

    void CommandsAreOneStep()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        view.SetLines(Cp1251Lines({"один", "два", "три"}));
        view.selectAll();
        window.m_frame->OnCommand(CommandId::EditCut);
        QVERIFY(view.toPlainText().isEmpty());
        window.m_frame->OnCommand(CommandId::EditPaste);
        window.m_frame->OnCommand(CommandId::EditPaste);
        QCOMPARE(view.History().StepCount(), 3);
        window.m_frame->OnCommand(CommandId::EditUndo);
        window.m_frame->OnCommand(CommandId::EditUndo);
        QCOMPARE(view.toPlainText(), QString());
        window.m_frame->OnCommand(CommandId::EditUndo);
        QCOMPARE(EditorLines(view), (std::vector<std::string>{"один", "два", "три"}));
        QVERIFY(window.m_frame->Action(CommandId::EditRedo)->isEnabled());
        QVERIFY(!window.m_frame->Action(CommandId::EditUndo)->isEnabled());
    }

    // The pane reports where the caret was when the event came; the key's release shows the result.
    void PositionPane()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        window.m_frame->show();
        view.setFocus();
        view.SetLines(Cp1251Lines({"abc", "defgh", "ij"}));
        QTextCursor cursor = view.textCursor();
        cursor.setPosition(4);
        view.setTextCursor(cursor);
        QTest::keyPress(&view, Qt::Key_End);
        QCOMPARE(window.m_frame->PositionPane()->text(), QStringLiteral("Стр: 2   Кол: 1   Всего: 3"));
        QTest::keyRelease(&view, Qt::Key_End);
        QCOMPARE(window.m_frame->PositionPane()->text(), QStringLiteral("Стр: 2   Кол: 6   Всего: 3"));

        // A click on the text: the press moves the caret, its release shows where.
        const QPoint lineStart = view.cursorRect(QTextCursor(view.document())).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, lineStart);
        QCOMPARE(window.m_frame->PositionPane()->text(), QStringLiteral("Стр: 1   Кол: 1   Всего: 3"));
    }

    void F1IsSwallowedByTheEditor()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        window.m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
        view.setFocus();
        view.SetLines(Cp1251Lines({"текст"}));
        QTest::keyClick(&view, Qt::Key_F1);
        QVERIFY(window.m_prompter.m_messages.empty()); // the help command did not run
        QCOMPARE(EditorLines(view), std::vector<std::string>{"текст"});

        // Elsewhere F1 is the window's help command; there is no help page beside the test binary.
        window.m_frame->ToolBar()->setFocus();
        QTest::keyClick(window.m_frame->ToolBar(), Qt::Key_F1);
        QCOMPARE(window.m_prompter.m_messages,
                 (std::vector<CScriptedPrompter::Message>{{"Failed to launch help.", MessageIcon::Error}}));
    }

    // The lines the editor keeps for the view and the panel are always those of its text, whatever
    // mix of whole replacements, panel edits, typing, undo and redo went before.
    void CachedLinesAreTheText()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        CContentFilter filter;
        CUpperCaseWordsDict words;
        CEntryEditorQt panelEditor(view, view.History(), filter, &words, [](bool) {});
        std::mt19937 random(11);
        for (int step = 0; step < 400; ++step)
        {
            const std::size_t lineCount = view.GetLines().size();
            switch (random() % 7)
            {
            case 0:
                view.SetLines(RandomLines(random, 6));
                break;
            case 1:
            case 2:
            {
                // Now and then an edit that reaches past the last line, which changes nothing.
                LineEdit edit;
                edit.firstLine = random() % (lineCount + 2);
                edit.lineCount = random() % 3;
                edit.newLines = RandomLines(random, 3);
                panelEditor.ApplyEdits({edit});
                break;
            }
            case 3:
            {
                QTextCursor cursor = view.textCursor();
                cursor.setPosition(static_cast<int>(random() % (view.document()->characterCount())));
                view.setTextCursor(cursor);
                const int key = static_cast<int>(random() % 3);
                if (key == 0)
                    QTest::keyClick(&view, Qt::Key_Return);
                else if (key == 1)
                    QTest::keyClick(&view, Qt::Key_Backspace);
                else
                    TypeText(&view, QStringLiteral("ж"));
                break;
            }
            case 4:
                view.Undo();
                break;
            case 5:
                view.Redo();
                break;
            default:
                view.GetLines(); // a reading that makes the kept lines current
                break;
            }
            const std::vector<std::string> fresh = LinesOfEditorText(view.document()->toRawText());
            QVERIFY2(view.GetLines() == fresh, qPrintable(QStringLiteral("step %1").arg(step)));
        }
    }

    void TypingMarksTheDocumentChanged()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), {"Статья 1. Предмет"});
        CKestrelView& view = window.View();
        window.Session().OpenFiles({window.Path("a.rla").toStdString()});
        window.m_frame->OnCommand(CommandId::FileSave);
        QVERIFY(!window.Session().IsModified());
        QVERIFY(!window.m_frame->windowTitle().endsWith('*'));
        TypeText(&view, QStringLiteral("ё"));
        QVERIFY(window.Session().IsModified());
        QVERIFY(window.m_frame->windowTitle().endsWith('*'));
    }
};

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
