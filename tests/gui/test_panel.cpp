// The entry panel on a processed sample document in a plain editor: counts and marks, the commands
// on marked entries with their undo, jumping, the level filter, and rows that went away by hand.

#include "GuiTestSupport.h"
#include "core/base/CodePage.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/CHeadingCaseConverter.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/EditorText.h"
#include "gui/panel/CFilterDlg.h"
#include "gui/panel/CTocListDelegate.h"
#include "gui/panel/CTocPanel.h"
#include "gui/widgets/CDblClickButton.h"
#include "gui/widgets/CFlatIconButton.h"
#include "gui/widgets/CTextEditHistory.h"
#include "support/CScriptedPrompter.h"

#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

namespace
{
// A plain editor with its bounded history, and the panel working on it.
struct PanelRig
{
    explicit PanelRig(const std::vector<std::string>& lines)
        : m_editor(new QPlainTextEdit), m_panel(new CTocPanel(m_prompter)),
          m_history(new CTextEditHistory(m_editor))
    {
        auto link = std::make_unique<CEntryEditorQt>(
            *m_editor, *m_history, m_filter, &m_words,
            [this](bool keepPosition)
            { m_panel->FillList(BuildEntryList(Lines(), m_filter), keepPosition); });
        m_link = link.get();
        m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_editor->setPlainText(EditorTextOfLines(lines));
        m_history->Clear();
        auto* layout = new QVBoxLayout(&m_window);
        layout->addWidget(m_editor, 1);
        layout->addWidget(m_panel, 2);
        m_window.resize(700, 520);
        m_window.show();
        if (!QTest::qWaitForWindowExposed(&m_window))
            qFatal("window not shown");
        m_panel->SetEditor(std::move(link));
        m_link->RefreshEntries(false);
    }

    // Read as the editor view reads its text: the raw text keeps no-break spaces.
    std::vector<std::string> Lines() const
    {
        return LinesOfEditorText(m_editor->document()->toRawText()).ToVector();
    }
    std::vector<TocEntryRef> AllEntries() const { return BuildEntryList(Lines(), CContentFilter()); }
    std::vector<std::string> EntryTexts() const
    {
        std::vector<std::string> texts;
        for (const TocEntryRef& entry : AllEntries())
            texts.push_back(entry.text);
        return texts;
    }
    std::vector<int> Levels() const
    {
        std::vector<int> levels;
        for (const TocEntryRef& entry : AllEntries())
            levels.push_back(EntryLevel(entry.text));
        return levels;
    }
    QListView& List() const { return *m_panel->List(); }
    QPoint RowCentre(int row) const { return List().visualRect(List().model()->index(row, 0)).center(); }
    void ClickRow(int row) const
    {
        QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, RowCentre(row));
    }
    void Mark(std::initializer_list<int> rows) const
    {
        for (const int row : rows)
        {
            List().scrollTo(List().model()->index(row, 0));
            ClickRow(row);
        }
    }
    void Press(int id) const { m_panel->Button(id)->click(); }
    QString Count() const { return m_panel->CountLabel()->text(); }
    QString Marked() const { return m_panel->MarkedLabel()->text(); }

    CScriptedPrompter m_prompter;
    CContentFilter m_filter;
    CUpperCaseWordsDict m_words;
    QWidget m_window;
    QPlainTextEdit* m_editor;
    CTocPanel* m_panel;
    CTextEditHistory* m_history;
    CEntryEditorQt* m_link; // owned by the panel
};

// What a window system delivers for a double click: a click, then the second press as a press and
// a double click, then its release.
void DoubleClick(QWidget* widget, QPoint position)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, position);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, position);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, position);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, position);
}

int FirstVisibleLine(const QPlainTextEdit& editor)
{
    return editor.cursorForPosition(QPoint(1, 1)).blockNumber();
}

std::size_t MarkerCount(const std::vector<std::string>& lines, Marker marker)
{
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return IsMarker(line, marker); }));
}

template <typename T> std::vector<T> Without(std::vector<T> items, std::initializer_list<std::size_t> indices)
{
    for (auto index = std::rbegin(indices); index != std::rend(indices); ++index)
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(*index));
    return items;
}

// The first row whose entry has entries of deeper levels after it.
int FirstEntryWithSubEntries(const std::vector<int>& levels)
{
    std::size_t row = 0;
    while (row + 1 < levels.size() && levels[row + 1] <= levels[row])
        ++row;
    return static_cast<int>(row);
}

// Gives the list the keyboard focus as the operator would find it: the window active.
void FocusList(PanelRig& rig)
{
    rig.m_window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.m_window));
    rig.List().setFocus(Qt::ShortcutFocusReason);
    QTRY_VERIFY(rig.List().hasFocus());
}

// Presses the filter button and does the operator's actions in the dialog.
void RunFilter(PanelRig& rig, const std::function<void(CFilterDlg&)>& actions)
{
    ActOnFilterDialog(actions);
    rig.Press(CTocPanel::kFilter);
}
} // namespace

class PanelTest : public QObject
{
    Q_OBJECT

private slots:
    void CountsAndMarks()
    {
        PanelRig rig(ProcessedSample());
        const std::size_t blocks = MarkerCount(rig.Lines(), Marker::Ogl);
        QCOMPARE(static_cast<std::size_t>(rig.List().model()->rowCount()), blocks);
        QCOMPARE(rig.Count(), QStringLiteral("Пунктов оглавления: %1").arg(blocks));
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: 0"));
        QCOMPARE(rig.List().model()->index(1, 0).data().toString(),
                 EditorTextOfLine(rig.AllEntries()[1].text.substr(0, 2)) + QLatin1Char('\n') +
                     EditorTextOfLine(rig.AllEntries()[1].text.substr(3)));

        rig.Mark({0, 2, 4});
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: 3"));
        rig.ClickRow(2); // a second click takes the mark away
        QCOMPARE(rig.m_panel->GetMarkedIndices(), std::vector<std::size_t>({0, 4}));
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: 2"));

        rig.Press(CTocPanel::kMarkAll);
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: %1").arg(blocks));
        rig.Press(CTocPanel::kRefresh);
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: 0"));
        QCOMPARE(static_cast<std::size_t>(rig.List().model()->rowCount()), blocks);
    }

    void NothingMarkedIsRefused()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<std::string> before = rig.Lines();
        for (const int id : {CTocPanel::kLevelUp, CTocPanel::kLevelDown, CTocPanel::kToCapitals,
                             CTocPanel::kToSentenceCase, CTocPanel::kDelete})
            rig.Press(id);
        QCOMPARE(rig.m_prompter.m_messages, std::vector<CScriptedPrompter::Message>(
                                                5, {"Пункты  оглавления не выбраны!", MessageIcon::Error}));
        QCOMPARE(rig.Lines(), before);
        QCOMPARE(rig.m_history->StepCount(), 0);
    }

    void LevelDownTakesSubEntriesAlongAndUndoes()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<std::string> before = rig.Lines();
        const std::vector<int> levels = rig.Levels();
        // The first level-2 entry with entries below it.
        std::size_t marked = 0;
        while (!(levels[marked] == 2 && levels[marked + 1] > 2))
            ++marked;
        std::size_t subtreeEnd = marked + 1;
        while (subtreeEnd < levels.size() && levels[subtreeEnd] > 2)
            ++subtreeEnd;
        QVERIFY(subtreeEnd - marked >= 3);

        rig.Mark({static_cast<int>(marked)});
        rig.Press(CTocPanel::kLevelDown);
        std::vector<int> expected = levels;
        for (std::size_t i = marked; i < subtreeEnd; ++i)
            ++expected[i];
        QCOMPARE(rig.Levels(), expected);
        QCOMPARE(rig.m_history->StepCount(), 1);
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: 0"));

        rig.Mark({static_cast<int>(marked)});
        rig.Press(CTocPanel::kLevelUp);
        QCOMPARE(rig.Levels(), levels);

        rig.Press(CTocPanel::kUndo);
        QCOMPARE(rig.Levels(), expected);
        rig.Press(CTocPanel::kUndo);
        QCOMPARE(rig.Lines(), before);
        rig.Press(CTocPanel::kUndo); // nothing left: a beep, nothing else
        QCOMPARE(rig.Lines(), before);
        rig.Press(CTocPanel::kRedo);
        QCOMPARE(rig.Levels(), expected);
        QCOMPARE(static_cast<std::size_t>(rig.List().model()->rowCount()), levels.size());
    }

    void LevelUpOfTopEntryMovesOnlyItsSubEntries()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<int> levels = rig.Levels();
        rig.Mark({0});
        rig.Press(CTocPanel::kLevelUp);
        // The top entry stays at the top level; its sub-entries still move up by one.
        std::vector<int> expected = levels;
        for (std::size_t i = 1; i < levels.size() && levels[i] > 1; ++i)
            --expected[i];
        QVERIFY(expected != levels);
        QCOMPARE(rig.Levels(), expected);
        QVERIFY(rig.m_prompter.m_messages.empty());
    }

    void CaseCommandsRewriteOnlyTheMarkedEntries()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<std::string> texts = rig.EntryTexts();
        const CHeadingCaseConverter converter(&rig.m_words);

        rig.Mark({1, 3});
        rig.Press(CTocPanel::kToCapitals);
        std::vector<std::string> capitals = texts;
        capitals[1] = converter.ToCapitals(texts[1]);
        capitals[3] = converter.ToCapitals(texts[3]);
        QVERIFY(capitals[1] != texts[1]);
        QCOMPARE(rig.EntryTexts(), capitals);
        QVERIFY(Cp1251ToUtf8(capitals[1]).find("ОСНОВНЫЕ НАЧАЛА") != std::string::npos);

        rig.Mark({1});
        rig.Press(CTocPanel::kToSentenceCase);
        std::vector<std::string> sentence = capitals;
        sentence[1] = converter.ToSentenceCase(capitals[1]);
        QCOMPARE(rig.EntryTexts(), sentence);
        QVERIFY(Cp1251ToUtf8(sentence[1]).find("Основные начала") != std::string::npos);
        QCOMPARE(rig.m_history->StepCount(), 2);
    }

    void DeleteThreeEntriesThenUndoOnce()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<std::string> before = rig.Lines();
        const std::vector<std::string> texts = rig.EntryTexts();
        rig.Mark({2, 5, 9});
        rig.Press(CTocPanel::kDelete);
        QCOMPARE(rig.EntryTexts(), Without(texts, {2, 5, 9}));
        QCOMPARE(MarkerCount(rig.Lines(), Marker::Kon), texts.size() - 3);
        QCOMPARE(rig.Count(), QStringLiteral("Пунктов оглавления: %1").arg(texts.size() - 3));
        rig.Press(CTocPanel::kUndo);
        QCOMPARE(rig.Lines(), before);
        QCOMPARE(rig.Count(), QStringLiteral("Пунктов оглавления: %1").arg(texts.size()));
    }

    // The lines the commands work on are kept between commands: after every kind of change they
    // must be what reading the text gives, and an entry holding a no-break space (byte 0xA0) is
    // found again in its row, not taken for a row that went away.
    void CommandsSeeTheCurrentText()
    {
        std::vector<std::string> lines = ProcessedSample();
        lines.insert(lines.end(), {MarkerLine(Marker::Ogl), "*",
                                   "\xF1\xF2\xE0\xF2\xFC\xFF\xA0"
                                   "1",
                                   MarkerLine(Marker::Kon)});
        PanelRig rig(lines);
        const auto matchesText = [&] { return rig.m_link->Lines() == rig.Lines(); };
        const int last = rig.List().model()->rowCount() - 1;

        rig.Mark({last});
        rig.Press(CTocPanel::kToCapitals);
        QVERIFY(rig.m_prompter.m_messages.empty());
        QCOMPARE(rig.EntryTexts().back(), std::string("*\n\xD1\xD2\xC0\xD2\xDC\xDF\xA0"
                                                      "1"));
        QVERIFY(matchesText());

        const std::function<void()> changes[] = {
            [&]
            {
                rig.Mark({1});
                rig.Press(CTocPanel::kLevelDown);
            },
            [&]
            {
                rig.m_editor->moveCursor(QTextCursor::End);
                QTest::keyClick(rig.m_editor, Qt::Key_Return);
                QTest::keyClick(rig.m_editor, Qt::Key_Z);
            },
            [&]
            {
                rig.Mark({0, 4});
                rig.Press(CTocPanel::kDelete);
            },
            [&] { rig.Press(CTocPanel::kUndo); },
            [&] { rig.Press(CTocPanel::kRedo); },
            [&]
            {
                rig.Mark({2});
                rig.Press(CTocPanel::kLevelUp);
            },
        };
        for (const auto& change : changes)
        {
            change();
            QVERIFY(matchesText());
            QCOMPARE(rig.m_panel->List()->model()->rowCount(), static_cast<int>(rig.AllEntries().size()));
        }
    }

    void RowOfHandDeletedBlockIsDropped()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<std::string> texts = rig.EntryTexts();
        const TocEntryRef gone = rig.AllEntries()[3];
        rig.Mark({3, 7});

        // The operator deletes block 3 in the editor; the panel still shows its row as marked.
        QTextCursor cursor(rig.m_editor->document()->findBlockByNumber(static_cast<int>(gone.oglLine)));
        cursor.setPosition(
            rig.m_editor->document()->findBlockByNumber(static_cast<int>(gone.konLine + 1)).position(),
            QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QCOMPARE(rig.m_panel->GetMarkedIndices(), std::vector<std::size_t>({3, 7}));

        rig.Press(CTocPanel::kDelete);
        QVERIFY(rig.m_prompter.m_messages.empty());
        QCOMPARE(rig.EntryTexts(), Without(texts, {3, 7}));
    }

    void JumpPutsTheBlockOnTopAndLeavesTheCaret()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<TocEntryRef> entries = rig.AllEntries();
        const int caret = 5;
        QTextCursor cursor = rig.m_editor->textCursor();
        cursor.setPosition(caret);
        rig.m_editor->setTextCursor(cursor);
        rig.Mark({0, 1});

        const int row = 4;
        rig.List().selectionModel()->setCurrentIndex(rig.List().model()->index(row, 0),
                                                     QItemSelectionModel::NoUpdate);
        rig.List().setFocus();
        QTest::keyClick(&rig.List(), Qt::Key_Return);
        QCOMPARE(FirstVisibleLine(*rig.m_editor), static_cast<int>(entries[row].oglLine));
        QCOMPARE(rig.m_editor->textCursor().position(), caret);
        QCOMPARE(rig.m_panel->GetMarkedIndices(), std::vector<std::size_t>({static_cast<std::size_t>(row)}));
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: 1"));

        const int other = 2;
        rig.List().scrollTo(rig.List().model()->index(other, 0));
        DoubleClick(rig.List().viewport(), rig.RowCentre(other));
        QCOMPARE(FirstVisibleLine(*rig.m_editor), static_cast<int>(entries[other].oglLine));
        QCOMPARE(rig.m_panel->GetMarkedIndices(),
                 std::vector<std::size_t>({static_cast<std::size_t>(other)}));
        QCOMPARE(rig.m_editor->textCursor().position(), caret);
    }

    void FilterChoosesTheListedLevels()
    {
        PanelRig rig(ProcessedSample());
        const std::vector<int> levels = rig.Levels();
        const std::vector<std::string> texts = rig.EntryTexts();
        const auto countOf = [&](int level) { return std::count(levels.begin(), levels.end(), level); };

        RunFilter(rig,
                  [](CFilterDlg& dialog)
                  {
                      ClickButton(dialog, "resetButton");
                      dialog.m_levelBoxes[1]->setChecked(true);
                      ClickButton(dialog, "okButton");
                  });
        QCOMPARE(rig.List().model()->rowCount(), countOf(2));
        for (int row = 0; row < rig.List().model()->rowCount(); ++row)
            QVERIFY(rig.List().model()->index(row, 0).data().toString().startsWith(QStringLiteral("**\n")));

        RunFilter(rig,
                  [](CFilterDlg& dialog)
                  {
                      QTest::mouseDClick(dialog.m_levelBoxes[2], Qt::LeftButton, Qt::NoModifier,
                                         QPoint(8, 8));
                      ClickButton(dialog, "okButton");
                  });
        QCOMPARE(rig.List().model()->rowCount(), countOf(3));

        // Row 0 now addresses the first level-3 entry, not the first block of the text.
        const auto firstLevel3 =
            static_cast<std::size_t>(std::find(levels.begin(), levels.end(), 3) - levels.begin());
        rig.Mark({0});
        rig.Press(CTocPanel::kDelete);
        QCOMPARE(rig.EntryTexts(), Without(texts, {firstLevel3}));

        RunFilter(rig,
                  [](CFilterDlg& dialog)
                  {
                      ClickButton(dialog, "resetButton");
                      ClickButton(dialog, "cancelButton");
                  });
        QCOMPARE(rig.List().model()->rowCount(), countOf(3) - 1);

        RunFilter(rig,
                  [](CFilterDlg& dialog)
                  {
                      ClickButton(dialog, "resetButton");
                      ClickButton(dialog, "okButton");
                  });
        QCOMPARE(rig.List().model()->rowCount(), 0);
        QCOMPARE(rig.Count(), QStringLiteral("Пунктов оглавления: 0"));
    }

    void RefreshKeepsTheFirstVisibleRow()
    {
        PanelRig rig(ProcessedSample());
        rig.m_window.resize(700, 300);
        // The list lays its rows out again for the lower height when the events come round.
        QTRY_VERIFY(rig.List().verticalScrollBar()->maximum() > 0);
        QVERIFY(rig.List().model()->rowCount() > 10);
        rig.List().scrollTo(rig.List().model()->index(6, 0), QAbstractItemView::PositionAtTop);
        const int top = rig.List().indexAt(QPoint(1, 1)).row();
        QVERIFY(top > 0);
        rig.Press(CTocPanel::kRefresh);
        QCOMPARE(rig.List().indexAt(QPoint(1, 1)).row(), top);
        rig.Press(CTocPanel::kMarkAll);
        QCOMPARE(rig.List().indexAt(QPoint(1, 1)).row(), top);
        rig.m_link->RefreshEntries(false);
        QCoreApplication::processEvents();
        QCOMPARE(rig.List().indexAt(QPoint(1, 1)).row(), 0);
    }

    void RowsWrapAndNeverGoBelowTheMinimum()
    {
        PanelRig rig(ProcessedSample());
        auto* delegate = static_cast<CTocListDelegate*>(rig.List().itemDelegate());
        const QModelIndex index = rig.List().model()->index(rig.List().model()->rowCount() - 1, 0);
        rig.List().scrollTo(index);
        const int wideHeight = rig.List().visualRect(index).height();
        QVERIFY(wideHeight >= CTocListDelegate::kMinimumRowHeight);
        QVERIFY(delegate->RowFits(index));

        rig.m_window.resize(260, 520);
        rig.List().scrollTo(index);
        QTRY_VERIFY(rig.List().visualRect(index).height() > wideHeight);
        QVERIFY(!delegate->RowFits(index));
    }

    // Row heights are found without laying out every text where that is safe: they must come out as
    // the wrapped layout of the whole text does, for plain rows, rows of symbols another font may
    // draw, tabs, and rows that wrap.
    void RowHeightsMatchTheWrappedText()
    {
        std::vector<std::string> lines = ProcessedSample();
        const std::string extra[] = {
            "*\n\x04\x04 \x1B\x16\x1A \xB9 7",
            "**\n\t\xC3\xEB\xE0\xE2\xE0\t1",
            "***\n" + std::string(40, 'w') + " " + std::string(30, '\xE6') + "\n\n" + std::string(90, 'x'),
        };
        for (const std::string& text : extra)
        {
            lines.push_back(MarkerLine(Marker::Ogl));
            std::size_t start = 0;
            for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
                lines.push_back(text.substr(start, end - start));
            lines.push_back(text.substr(start));
            lines.push_back(MarkerLine(Marker::Kon));
        }
        PanelRig rig(lines);
        const QFontMetrics metrics(CTocListDelegate::EntryFont());
        const int margins = rig.m_window.width() - rig.List().width();
        for (const int windowWidth : {700, 420, 260})
        {
            rig.m_window.resize(windowWidth, 520);
            QTRY_COMPARE(rig.List().width(), windowWidth - margins);
            const int textWidth = rig.List().viewport()->width() - CTocListDelegate::kRemarkColumnWidth -
                                  2 * CTocListDelegate::kTextInset;
            for (int row = 0; row < rig.List().model()->rowCount(); ++row)
            {
                const QString text = rig.List().model()->index(row, 0).data().toString();
                const int expected =
                    std::max(metrics.boundingRect(QRect(0, 0, textWidth, 1 << 20),
                                                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text)
                                     .height() +
                                 2 * CTocListDelegate::kTextInset,
                             CTocListDelegate::kMinimumRowHeight);
                const QModelIndex index = rig.List().model()->index(row, 0);
                QCOMPARE(rig.List().itemDelegate()->sizeHint(QStyleOptionViewItem(), index).height(),
                         expected);
            }
        }
    }

    // Each panel key does what its button does, on the row marked by keys alone.
    void KeysDoWhatTheButtonsDo_data()
    {
        QTest::addColumn<int>("key"); // the key and its modifiers combined
        QTest::addColumn<int>("button");
        QTest::newRow("level up") << (Qt::CTRL | Qt::Key_Left).toCombined() << int(CTocPanel::kLevelUp);
        QTest::newRow("level down") << (Qt::CTRL | Qt::Key_Right).toCombined() << int(CTocPanel::kLevelDown);
        QTest::newRow("capitals") << (Qt::CTRL | Qt::Key_Up).toCombined() << int(CTocPanel::kToCapitals);
        QTest::newRow("sentence case")
            << (Qt::CTRL | Qt::Key_Down).toCombined() << int(CTocPanel::kToSentenceCase);
        QTest::newRow("delete") << int(Qt::Key_Delete) << int(CTocPanel::kDelete);
    }

    void KeysDoWhatTheButtonsDo()
    {
        QFETCH(int, key);
        QFETCH(int, button);
        const std::vector<std::string> sample = ProcessedSample();
        const int row = FirstEntryWithSubEntries(PanelRig(sample).Levels());

        PanelRig byMouse(sample);
        byMouse.Mark({row});
        byMouse.Press(button);

        PanelRig byKeys(sample);
        QListView& list = byKeys.List();
        FocusList(byKeys);
        QCOMPARE(list.currentIndex().row(), 0);
        QCOMPARE(byKeys.Marked(), QStringLiteral("Помечено: 0"));
        for (int i = 0; i < row; ++i)
            QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Space);
        QCOMPARE(byKeys.m_panel->GetMarkedIndices(), std::vector<std::size_t>{std::size_t(row)});
        const QKeyCombination combination = QKeyCombination::fromCombined(key);
        QTest::keyClick(&list, combination.key(), combination.keyboardModifiers());
        QCOMPARE(byKeys.Lines(), byMouse.Lines());
        QVERIFY(byKeys.m_prompter.m_messages.empty());
        QVERIFY(list.currentIndex().row() >= 0);
    }

    // Undo and redo, mark all, the filter and the jump by keys; the current row survives the rebuilds.
    void KeysUndoMarkFilterAndJump()
    {
        PanelRig rig(ProcessedSample());
        QListView& list = rig.List();
        const std::vector<std::string> before = rig.Lines();
        FocusList(rig);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Space);
        QTest::keyClick(&list, Qt::Key_Right, Qt::ControlModifier);
        const std::vector<std::string> changed = rig.Lines();
        QVERIFY(changed != before);
        QCOMPARE(list.currentIndex().row(), 2);
        QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rig.Lines(), before);
        QTest::keyClick(&list, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(rig.Lines(), changed);

        QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(rig.Marked(), QStringLiteral("Помечено: %1").arg(list.model()->rowCount()));

        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(rig.m_panel->GetMarkedIndices(), std::vector<std::size_t>{3});
        QCOMPARE(FirstVisibleLine(*rig.m_editor), static_cast<int>(rig.AllEntries()[3].oglLine));

        ActOnFilterDialog(
            [](CFilterDlg& dialog)
            {
                ClickButton(dialog, "resetButton");
                ClickButton(dialog, "okButton");
            });
        QTest::keyClick(&list, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(list.model()->rowCount(), 0);
        QCOMPARE(rig.Count(), QStringLiteral("Пунктов оглавления: 0"));
    }

    // The current row of the list is framed while the list has the focus, marked or not.
    void CurrentRowIsFramedWhileTheListHasTheFocus()
    {
        PanelRig rig(ProcessedSample());
        QListView& list = rig.List();
        const auto leftEdge = [&](int row)
        {
            const QImage image = list.viewport()->grab().toImage();
            const QRect rect = list.visualRect(list.model()->index(row, 0));
            return image.pixelColor(rect.left() + 1, rect.center().y());
        };
        const QColor unframed = leftEdge(0);
        // A click gives the focus: the style would frame the row only after a key.
        rig.m_window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.m_window));
        list.setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(list.hasFocus());
        list.selectionModel()->setCurrentIndex(list.model()->index(0, 0), QItemSelectionModel::NoUpdate);
        QVERIFY(leftEdge(0) != unframed);
        QCOMPARE(leftEdge(1), unframed);
        list.selectionModel()->select(list.model()->index(0, 0), QItemSelectionModel::Select);
        const QColor markedFramed = leftEdge(0);
        rig.m_editor->setFocus();
        QTRY_VERIFY(!list.hasFocus());
        QVERIFY(leftEdge(0) != markedFramed);
    }

    void ButtonsStandInTheirOrder()
    {
        PanelRig rig(ProcessedSample());
        const int order[] = {103, 109, 108, 107, 104, 105, 102, 113, 112, 114, 115};
        for (int i = 0; i < 11; ++i)
        {
            const CFlatIconButton* button = rig.m_panel->Button(order[i]);
            QVERIFY(button);
            QCOMPARE(button->geometry(), QRect(5 + 30 * i, 5, 25, 25));
        }
        // Every button tells its command and its key.
        QCOMPARE(rig.m_panel->Button(CTocPanel::kRefresh)->toolTip(),
                 QStringLiteral("Обновить оглавление (F5)"));
        QSet<QString> tips;
        for (const int id : order)
        {
            const QString tip = rig.m_panel->Button(id)->toolTip();
            QVERIFY2(QRegularExpression(QStringLiteral("^[А-Яа-я ,]+ \\([^)]+\\)$")).match(tip).hasMatch(),
                     qPrintable(tip));
            tips.insert(tip);
        }
        QCOMPARE(tips.size(), 11);
        // The box of the rows with remarks stands under the filter's button, the list below it.
        const QWidget* remarksOnly = rig.m_panel->RemarksOnlyBox();
        QCOMPARE(remarksOnly->x(), rig.m_panel->Button(CTocPanel::kFilter)->x());
        QVERIFY(remarksOnly->y() >= 30);
        QCOMPARE(rig.List().y(), remarksOnly->geometry().bottom() + 3);
        QCOMPARE(rig.m_panel->CountLabel()->geometry(), QRect(330, 0, 200, 15));
        QCOMPARE(rig.m_panel->MarkedLabel()->geometry(), QRect(330, 15, 200, 15));
    }
};

QTEST_MAIN(PanelTest)
#include "test_panel.moc"
