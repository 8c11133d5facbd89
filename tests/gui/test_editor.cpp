// The editor surface: the byte <-> character bridge, what becomes of typed and pasted characters that
// the code page lacks, one undo step per key and per command with a bounded history, the position
// pane and the swallowed F1.

#include "GuiTestSupport.h"

#include "core/base/CodePage.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/entries/CContentFilter.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/EditorText.h"
#include "gui/panel/CTocPanel.h"
#include "gui/widgets/CFindReplaceDlg.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QtTest>

#include <algorithm>
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
        // The editor's own characters, not only the lines it kept.
        QCOMPARE(LinesOfEditorText(view.document()->toRawText()), lines);
        QCOMPARE(EditorTextOfLines(CTextLines(lines), 1, 2),
                 QLatin1Char('\n') + EditorTextOfLine(lines[2]));

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

    void KeepableInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("unkept");
        QTest::newRow("guillemets and dash")
            << QStringLiteral("«Статья 5» — «тест»") << QStringLiteral("\"Статья 5\" - \"тест\"") << 0;
        QTest::newRow("low and high quotes")
            << QStringLiteral("„а“ “б” ‘в’ ‚г‘ ′ ″") << QStringLiteral("\"а\" \"б\" 'в' 'г' ' \"") << 0;
        QTest::newRow("dashes and minus")
            << QStringLiteral("1–2 ‐ ‑ ‒ ― −3") << QStringLiteral("1-2 - - - - -3") << 0;
        QTest::newRow("ellipsis") << QStringLiteral("и т.д…") << QStringLiteral("и т.д...") << 0;
        QTest::newRow("special spaces")
            << QStringLiteral("5\u00A0000\u2009р.\u202Fи\u2003т") << QStringLiteral("5 000 р. и т") << 0;
        QTest::newRow("invisible marks")
            << QStringLiteral("пере\u00ADнос\u200B\uFEFF") << QStringLiteral("перенос") << 0;
        QTest::newRow("kept as they are")
            << QStringLiteral("№ 5, ёЁ, \t┌─┐ §\n") << QStringLiteral("№ 5, ёЁ, \t┌─┐ §\n") << 0;
        QTest::newRow("no stand-in") << QStringLiteral("日本 ✓ café") << QStringLiteral("?? ? caf?") << 4;
        QTest::newRow("a pair of surrogates is one character")
            << QStringLiteral("a😀b") << QStringLiteral("a?b") << 1;
    }

    void KeepableInput()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, unkept);
        const EditorInput input = ::KeepableInput(typed);
        QCOMPARE(input.text, kept);
        QCOMPARE(input.unkept, unkept);
        // Nothing kept becomes "?" when it is saved.
        const std::string saved = LineOfEditorText(input.text);
        QCOMPARE(std::count(saved.begin(), saved.end(), '?'), input.text.count(QLatin1Char('?')));
    }

    // A paste from a word processor (its plain text beside its formatted text) and typed
    // characters arrive as the document will keep them, and the status line counts what could not
    // be kept; text copied inside the editor goes back unchanged, no-break spaces and all.
    void TypedAndPastedTextIsWhatIsSaved()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), {"Пролог", "5\u00A0000"});
        CKestrelView& view = window.View();
        window.m_frame->show();
        view.setFocus();
        window.Session().OpenFiles({window.Path("a.rla").toStdString()});
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_Return);

        auto* fromWordProcessor = new QMimeData;
        fromWordProcessor->setText(QStringLiteral("«Статья 5» — «тест»"));
        fromWordProcessor->setHtml(
            QStringLiteral("<p>&laquo;Статья 5&raquo; &mdash; &laquo;тест&raquo;</p>"));
        QApplication::clipboard()->setMimeData(fromWordProcessor);
        window.m_frame->statusBar()->clearMessage();
        window.m_frame->OnCommand(CommandId::EditPaste);
        QCOMPARE(EditorLines(view).back(), std::string("\"Статья 5\" - \"тест\""));
        QVERIFY(window.m_frame->statusBar()->currentMessage().isEmpty());

        TypeText(&view, QStringLiteral(" «✓…»"));
        QCOMPARE(EditorLines(view).back(), std::string("\"Статья 5\" - \"тест\" \"?...\""));
        QCOMPARE(window.m_frame->statusBar()->currentMessage(),
                 QStringLiteral("Символов, которых нет в кодировке DOS, заменено на \"?\": 1"));
        QApplication::clipboard()->setText(QStringLiteral("日本"));
        window.m_frame->OnCommand(CommandId::EditPaste);
        QCOMPARE(window.m_frame->statusBar()->currentMessage(),
                 QStringLiteral("Символов, которых нет в кодировке DOS, заменено на \"?\": 2"));
        window.m_frame->OnCommand(CommandId::EditUndo);

        // The document's own line with its no-break space, copied and pasted in the editor.
        QTextCursor copied(view.document()->findBlockByNumber(1));
        copied.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        view.setTextCursor(copied);
        window.m_frame->OnCommand(CommandId::EditCopy);
        view.moveCursor(QTextCursor::End);
        window.m_frame->OnCommand(CommandId::EditPaste);

        window.m_frame->OnCommand(CommandId::FileSave);
        const std::string expected866 =
            "\r\n" + Cp1251ToCp866(Utf8ToCp1251("\"Статья 5\" - \"тест\" \"?...\"5")) + "\xFF" + "000";
        QVERIFY(ReadBytes(window.Path("a.rla")).toStdString().ends_with(expected866));
    }

    void EachKeyIsOneStepAndTheHistoryIsBounded()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        window.m_frame->show();
        view.setFocus();
        view.SetLines(CpLines({"первая", "вторая"}));
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
        view.SetLines(CpLines({"один", "два", "три"}));
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
        view.SetLines(CpLines({"abc", "defgh", "ij"}));
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

    // The pane follows the text, not only the keys and the mouse: opening, the next document, undo,
    // a panel edit and deleting the file bring it up to date at once; and it is wide enough for the
    // largest figures.
    void PositionPaneFollowsTheText()
    {
        TestWindow window;
        const QLabel* pane = window.m_frame->PositionPane();
        QVERIFY(pane->contentsRect().width() >= pane->fontMetrics().horizontalAdvance(QStringLiteral(
                                                    "Стр: 999999   Кол: 9999   Всего: 999999")));

        std::vector<std::string> longText(12345, "Текст.");
        longText.front() = "Статья 1. Предмет";
        WriteDocument(window.Path("a.rla"), longText);
        WriteDocument(window.Path("b.rla"), {"Глава 1. Общие положения", "Текст."});
        CKestrelView& view = window.View();
        const auto shows = [&](int lines)
        { return pane->text().endsWith(QStringLiteral("   Всего: %1").arg(lines)); };

        window.Session().OpenFiles({window.Path("a.rla").toStdString(), window.Path("b.rla").toStdString()});
        const int aLines = static_cast<int>(view.GetLines().size());
        QCOMPARE(pane->text(), QStringLiteral("Стр: 1   Кол: 1   Всего: %1").arg(aLines));
        QVERIFY(aLines >= 12345);
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(pane->text(), QStringLiteral("Стр: 2   Кол: 1   Всего: %1").arg(aLines + 1));
        window.m_frame->OnCommand(CommandId::EditUndo);
        QVERIFY2(shows(aLines), qPrintable(pane->text()));

        window.m_prompter.Answer({PromptAnswer::No});
        window.m_frame->OnCommand(CommandId::NextDocument);
        QVERIFY2(shows(2), qPrintable(pane->text()));
        CContentFilter filter;
        CEntryEditorQt panelEditor(view, view.History(), filter, nullptr, [](bool) {});
        LineEdit insertion;
        insertion.newLines = {"x"};
        panelEditor.ApplyEdits({insertion});
        QVERIFY2(shows(3), qPrintable(pane->text()));

        window.m_prompter.Answer({PromptAnswer::Yes});
        window.m_frame->OnCommand(CommandId::DeleteFile);
        QVERIFY2(shows(1), qPrintable(pane->text()));
    }

    // The pane follows the caret the program moves: the panel's undo and redo, the menu's, and the
    // search commands; each case moves the caret to another line first, so a stale pane shows.
    void PositionPaneAfterTheProgramMovesTheCaret()
    {
        TestWindow window;
        window.m_frame->show();
        window.Session().OpenFiles({TIRVEL_SOURCE_DIR "/samples/law_sections_articles.rla"});
        CKestrelView& view = window.View();
        const QLabel* pane = window.m_frame->PositionPane();
        const auto caretShown = [&]
        {
            const QTextCursor cursor = view.textCursor();
            const QTextBlock block = view.document()->findBlock(cursor.selectionStart());
            return QStringLiteral("Стр: %1   Кол: %2   Всего: %3")
                .arg(block.blockNumber() + 1)
                .arg(cursor.selectionEnd() - block.position() + 1)
                .arg(view.document()->blockCount());
        };
        const auto caretToLastLine = [&]
        {
            view.moveCursor(QTextCursor::End);
            QCOMPARE(pane->text(), caretShown());
        };
        const auto lineShown = [&] { return pane->text().section(QLatin1Char(' '), 1, 1).toInt(); };

        auto* panel = window.m_frame->findChild<CTocPanel*>();
        panel->List()->selectionModel()->select(panel->List()->model()->index(4, 0),
                                                QItemSelectionModel::Select);
        panel->RunButton(CTocPanel::kLevelDown);
        for (const int id : {CTocPanel::kUndo, CTocPanel::kRedo})
        {
            caretToLastLine();
            panel->RunButton(id);
            QCOMPARE(pane->text(), caretShown());
            QVERIFY(lineShown() < view.document()->blockCount());
        }
        for (const int id : {CommandId::EditUndo, CommandId::EditRedo})
        {
            caretToLastLine();
            window.m_frame->OnCommand(id);
            QCOMPARE(pane->text(), caretShown());
            QVERIFY(lineShown() < view.document()->blockCount());
        }

        window.m_frame->OnCommand(CommandId::EditReplace);
        auto* dialog = view.window()->findChild<CFindReplaceDlg*>();
        QVERIFY(dialog);
        dialog->m_findEdit->setText(QStringLiteral("Статья"));
        dialog->m_replaceEdit->setText(QStringLiteral("Статья"));
        view.moveCursor(QTextCursor::Start);
        const std::function<void()> searches[] = {
            [&] { dialog->FindNext(); },
            [&] { window.m_frame->OnCommand(CommandId::EditRepeat); },
            [&] { dialog->ReplaceCurrent(); },
        };
        int lastLine = 1;
        for (const auto& search : searches)
        {
            search();
            QCOMPARE(pane->text(), caretShown());
            QVERIFY2(lineShown() > lastLine, qPrintable(pane->text()));
            lastLine = lineShown();
        }
    }

    // A jump to an entry puts its marker line at the top with the blank space above it that the
    // first line of the text has.
    void JumpedToLineIsWhole()
    {
        TestWindow window;
        window.m_frame->resize(900, 650);
        window.m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
        window.Session().OpenFiles({TIRVEL_SOURCE_DIR "/samples/law_sections_articles.rla"});
        CKestrelView& view = window.View();
        const auto topOfLine = [&](int line)
        {
            const QRect caret = view.cursorRect(QTextCursor(view.document()->findBlockByNumber(line)));
            return view.viewport()->mapTo(&view, caret.topLeft()).y();
        };
        const int startOfText = topOfLine(0);
        QVERIFY(startOfText > view.frameWidth());

        auto* panel = window.m_frame->findChild<CTocPanel*>();
        panel->List()->selectionModel()->setCurrentIndex(panel->List()->model()->index(6, 0),
                                                         QItemSelectionModel::SelectCurrent);
        panel->JumpToEntry();
        const int line = static_cast<int>(view.Entries()[6].oglLine);
        QCOMPARE(view.cursorForPosition(QPoint(1, 1)).blockNumber(), line);
        QCOMPARE(topOfLine(line), startOfText);
    }

    void F1IsSwallowedByTheEditor()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        window.m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
        view.setFocus();
        view.SetLines(CpLines({"текст"}));
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
    // mix of whole replacements, panel edits, typing, undo and redo went before; and undo and redo
    // give back each text there was, whether the history read what a change removed from those
    // lines or from a copy of its own (lines with a carriage return, or a line separator typed into
    // a line, are not shown character for character by the lines).
    // Lines are not wrapped, and a new width lays none out again: the horizontal scroll range still
    // reaches exactly the end of the longest line at every width, and is empty once the lines fit.
    void ScrollRangeFollowsTheWidth()
    {
        TestWindow window;
        window.m_frame->resize(700, 500);
        window.m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
        CKestrelView& view = window.View();
        std::vector<std::string> lines(300, std::string(40, 'a'));
        lines[150] = std::string(150, 'b');
        view.SetLines(lines);
        view.PutCaretOnLine(150);
        const auto textWidth = [&view]
        {
            QCoreApplication::processEvents();
            return view.horizontalScrollBar()->maximum() + view.viewport()->width();
        };
        const int wide = textWidth();
        QVERIFY(view.horizontalScrollBar()->maximum() > 0);
        for (const int width : {450, 2000, 600})
        {
            window.m_frame->resize(width, 500);
            QTRY_VERIFY(window.m_frame->width() == width);
            if (view.viewport()->width() >= wide)
                QTRY_COMPARE(view.horizontalScrollBar()->maximum(), 0);
            else
                QTRY_COMPARE(textWidth(), wide);
        }
    }

    void CachedLinesAreTheText()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        CContentFilter filter;
        CUpperCaseWordsDict words;
        CEntryEditorQt panelEditor(view, view.History(), filter, &words, [](bool) {});
        const auto text = [&view]
        {
            QString raw = view.document()->toRawText();
            raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
            return raw;
        };
        // The texts undo and redo should give back, as the history's steps.
        QString expected = text();
        std::vector<QString> undone;
        std::vector<QString> redone;
        std::mt19937 random(11);
        for (int step = 0; step < 400; ++step)
        {
            const std::size_t lineCount = view.GetLines().size();
            const QString before = text();
            bool fromHistory = false;
            bool replaced = false;
            switch (random() % 8)
            {
            case 0:
                view.SetLines(RandomLines(random, 6));
                undone.clear();
                redone.clear();
                replaced = true;
                break;
            case 1:
            case 2:
            {
                // Up to three edits listed from the last line up, as the panel's commands list
                // them; now and then the first reaches past the last line, which changes nothing.
                std::vector<LineEdit> edits;
                std::size_t limit = lineCount + 2;
                for (std::size_t count = 1 + random() % 3; count > 0 && limit > 0; --count)
                {
                    LineEdit edit;
                    edit.firstLine = random() % limit;
                    edit.lineCount = random() % 3;
                    if (!edits.empty())
                        edit.lineCount = std::min(edit.lineCount, limit - edit.firstLine);
                    edit.newLines = RandomLines(random, 3);
                    limit = edit.firstLine;
                    edits.push_back(std::move(edit));
                }
                panelEditor.ApplyEdits(edits);
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
                fromHistory = !undone.empty();
                if (fromHistory)
                {
                    redone.push_back(expected);
                    expected = undone.back();
                    undone.pop_back();
                }
                view.Undo();
                break;
            case 5:
                fromHistory = !redone.empty();
                if (fromHistory)
                {
                    undone.push_back(expected);
                    expected = redone.back();
                    redone.pop_back();
                }
                view.Redo();
                break;
            case 6:
                view.insertPlainText(QString(QChar::LineSeparator));
                break;
            default:
                view.GetLines(); // a reading that makes the kept lines current
                break;
            }
            const QString now = text();
            if (replaced)
                expected = now;
            else if (!fromHistory && now != before)
            {
                // A new step: nothing is left to redo, and the oldest step goes beyond the limit.
                undone.push_back(before);
                if (undone.size() > static_cast<std::size_t>(CTextEditHistory::kStepLimit))
                    undone.erase(undone.begin());
                redone.clear();
                expected = now;
            }
            const QString where = QStringLiteral("step %1").arg(step);
            QVERIFY2(now == expected, qPrintable(where));
            const CTextLines fresh = LinesOfEditorText(view.document()->toRawText());
            QVERIFY2(view.GetLines() == fresh, qPrintable(where));
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
