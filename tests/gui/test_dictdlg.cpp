// The two dictionary dialogs: adding with its refusals, deleting with the selection that follows,
// deleting everything after the question, importing in both code pages, OK and Отмена.

#include "core/base/CodePage.h"
#include "gui/dictionaries/CDocDictDlg.h"
#include "gui/dictionaries/CUpperCaseWordsDlg.h"
#include "gui/widgets/CReportListWidget.h"
#include "support/CScriptedPrompter.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace
{
QStringList Rows(const CReportListWidget& list)
{
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        rows << list.topLevelItem(i)->text(0) + QLatin1Char(' ') + list.topLevelItem(i)->text(1);
    return rows;
}

void SelectRows(CReportListWidget& list, std::initializer_list<int> rows)
{
    list.clearSelection();
    for (const int row : rows)
        list.topLevelItem(row)->setSelected(true);
}
} // namespace

class DictDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void KindsAddAndRefusals()
    {
        CScriptedPrompter prompter;
        CDocKindsList kinds({Cp("ПРИКАЗ")});
        CDocDictDlg dialog(kinds, prompter);
        QVERIFY(!dialog.m_addButton->isEnabled());
        QVERIFY(dialog.m_deleteAllButton->isEnabled());
        QVERIFY(!dialog.m_deleteButton->isEnabled());

        dialog.m_edit->setText(QStringLiteral("  постановление   правительства "));
        QVERIFY(dialog.m_addButton->isEnabled());
        dialog.m_addButton->click();
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 ПОСТАНОВЛЕНИЕ ПРАВИТЕЛЬСТВА", "2 ПРИКАЗ"}));
        QVERIFY(dialog.m_edit->text().isEmpty());
        QVERIFY(!dialog.m_addButton->isEnabled());
        QVERIFY(prompter.m_messages.empty());

        const struct
        {
            QString typed;
            std::string message;
        } refusals[] = {
            {"   ", "Введите вид документа!"},
            {"приказ", "Вид документа \"ПРИКАЗ\" уже находится в словаре!"},
        };
        for (const auto& refusal : refusals)
        {
            prompter.m_messages.clear();
            dialog.m_edit->setText(refusal.typed);
            dialog.m_addButton->click();
            QCOMPARE(prompter.m_messages,
                     std::vector<CScriptedPrompter::Message>({{refusal.message, MessageIcon::Error}}));
            QCOMPARE(dialog.m_edit->text(), refusal.typed);
            QCOMPARE(dialog.m_kinds.Kinds().size(), std::size_t(2));
        }
    }

    void KindsAddByTypingCyrillicAndEnter()
    {
        CScriptedPrompter prompter;
        CDocDictDlg dialog(CDocKindsList(), prompter);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.m_edit->setFocus();
        for (const QChar ch : QStringLiteral("указ"))
            QTest::sendKeyEvent(QTest::Click, dialog.m_edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::keyClick(dialog.m_edit, Qt::Key_Return); // "Добавить" is the default button
        QCOMPARE(dialog.m_kinds.Kinds(), std::vector<std::string>({Cp("УКАЗ")}));
        QVERIFY(dialog.isVisible());
    }

    void KindsDeleteSelectsTheFollowingRow()
    {
        CScriptedPrompter prompter;
        CDocKindsList kinds({Cp("УКАЗ"), Cp("ЗАКОН"), Cp("ПРИКАЗ"), Cp("РЕШЕНИЕ")});
        CDocDictDlg dialog(kinds, prompter);
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 ЗАКОН", "2 ПРИКАЗ", "3 РЕШЕНИЕ", "4 УКАЗ"}));

        SelectRows(*dialog.m_list, {1, 2});
        QVERIFY(dialog.m_deleteButton->isEnabled());
        dialog.m_deleteButton->click();
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 ЗАКОН", "2 УКАЗ"}));
        QCOMPARE(dialog.m_list->SelectedRows(), std::vector<int>({1}));
        QVERIFY(!dialog.m_deleteButton->isEnabled());

        // The last row deleted: the new last row takes the selection.
        SelectRows(*dialog.m_list, {1});
        dialog.m_deleteButton->click();
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 ЗАКОН"}));
        QCOMPARE(dialog.m_list->SelectedRows(), std::vector<int>({0}));

        // An addition in front of the selected kind keeps the selection on that kind.
        dialog.m_edit->setText(QStringLiteral("АКТ"));
        dialog.m_addButton->click();
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 АКТ", "2 ЗАКОН"}));
        QCOMPARE(dialog.m_list->SelectedRows(), std::vector<int>({1}));
    }

    void KindsDeleteAllAsksFirst()
    {
        CScriptedPrompter prompter;
        CDocKindsList kinds({Cp("ЗАКОН"), Cp("УКАЗ")});
        CDocDictDlg dialog(kinds, prompter);
        prompter.Answer({PromptAnswer::No, PromptAnswer::Yes});
        dialog.m_deleteAllButton->click();
        QCOMPARE(dialog.m_list->topLevelItemCount(), 2);
        dialog.m_deleteAllButton->click();
        QCOMPARE(dialog.m_list->topLevelItemCount(), 0);
        QVERIFY(dialog.m_kinds.Kinds().empty());
        QVERIFY(!dialog.m_deleteAllButton->isEnabled());
        QCOMPARE(prompter.m_questions, std::vector<std::string>(2, "Удалить все виды документов?"));
    }

    void KindsImportInBothCodePages()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kinds.txt"));
        // «ЗАКОН» twice, an empty line and «Закон», in code page 866.
        WriteBytes(path.toStdString(), Cp1251ToCp866(Cp("ЗАКОН\r\nЗАКОН\r\n\r\nЗакон\r\n")));

        CScriptedPrompter prompter;
        CDocDictDlg dialog(CDocKindsList(), prompter);
        dialog.m_askImportFile = [&] {
            return std::optional<KindsFileChoice>(
                KindsFileChoice{path.toStdString(), KindsFileCodePage::Dos866});
        };
        dialog.m_fromFileButton->click();
        QCOMPARE(dialog.m_kinds.Kinds(), std::vector<std::string>({"", Cp("ЗАКОН"), Cp("Закон")}));
        QCOMPARE(dialog.m_list->topLevelItemCount(), 3);

        // The Windows entry takes the bytes as they are.
        CDocDictDlg windows(CDocKindsList(), prompter);
        windows.m_askImportFile = [&]
        {
            return std::optional<KindsFileChoice>(
                KindsFileChoice{path.toStdString(), KindsFileCodePage::Windows1251});
        };
        windows.m_fromFileButton->click();
        QCOMPARE(windows.m_kinds.Kinds()[1], Cp1251ToCp866(Cp("ЗАКОН")));

        // Cancelled or unreadable: nothing changes; the read error is reported.
        windows.m_askImportFile = [] { return std::optional<KindsFileChoice>(); };
        windows.m_fromFileButton->click();
        windows.m_askImportFile = [&]
        {
            return std::optional<KindsFileChoice>(KindsFileChoice{
                dir.filePath(QStringLiteral("missing.txt")).toStdString(), KindsFileCodePage::Dos866});
        };
        windows.m_fromFileButton->click();
        QCOMPARE(windows.m_kinds.Kinds().size(), std::size_t(3));
        QCOMPARE(prompter.m_messages,
                 std::vector<CScriptedPrompter::Message>({{"Ошибка чтения файла!", MessageIcon::Error}}));
    }

    // Both entries show their names and list every file, a name without a dot too; the entry
    // chosen tells the code page.
    void KindsFileDialogFilterDecidesCodePage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kinds"));
        WriteBytes(path.toStdString(), "x");
        WriteBytes(dir.filePath(QStringLiteral("other.txt")).toStdString(), "y");
        for (const bool windows : {false, true})
        {
            QStringList shownFilters;
            QStringList listed;
            QTimer::singleShot(
                0,
                [&]
                {
                    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                    QVERIFY(dialog);
                    auto* filters = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                    for (int i = 0; filters && i < filters->count(); ++i)
                        shownFilters << filters->itemText(i);
                    if (windows)
                        dialog->selectNameFilter(dialog->nameFilters().at(1));
                    dialog->setDirectory(dir.path());
                    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
                    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
                    for (int row = 0; row < 2; ++row)
                        listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
                    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
                    QMetaObject::invokeMethod(dialog, "accept");
                });
            const std::optional<KindsFileChoice> choice = AskKindsFile(nullptr);
            QCOMPARE(shownFilters, QStringList({"Все файлы DOS (*.*)", "Все файлы Windows(*.*)"}));
            listed.sort();
            QCOMPARE(listed, QStringList({"kinds", "other.txt"}));
            QVERIFY(choice);
            QCOMPARE(QString::fromStdString(choice->path), path);
            QCOMPARE(choice->codePage, windows ? KindsFileCodePage::Windows1251 : KindsFileCodePage::Dos866);
        }
    }

    void KindsOkAssignsCancelDiscards()
    {
        CScriptedPrompter prompter;
        CDocKindsList kinds({Cp("ЗАКОН")});
        for (const bool ok : {false, true})
        {
            QTimer::singleShot(0,
                               [ok]
                               {
                                   auto* dialog =
                                       qobject_cast<CDocDictDlg*>(QApplication::activeModalWidget());
                                   QVERIFY(dialog);
                                   dialog->m_edit->setText(QStringLiteral("указ"));
                                   dialog->m_addButton->click();
                                   dialog->findChild<QPushButton*>(ok ? "okButton" : "cancelButton")->click();
                               });
            QCOMPARE(EditDocKinds(kinds, prompter, nullptr), ok);
        }
        QCOMPARE(kinds.Kinds(), std::vector<std::string>({Cp("ЗАКОН"), Cp("УКАЗ")}));
    }

    void WordsAddRefuseDeleteClear()
    {
        CScriptedPrompter prompter;
        CUpperCaseWordsDict words;
        words.AddUserWords({Cp("Россия")});
        CUpperCaseWordsDlg dialog(words, prompter);
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 Россия"})); // built-in words are not listed
        QVERIFY(dialog.m_clearButton->isEnabled());
        QVERIFY(!dialog.m_deleteButton->isEnabled());

        for (const QString& typed : {QStringLiteral("  МВД  "), QStringLiteral("россия")})
        {
            dialog.m_edit->setText(typed);
            dialog.m_addButton->click();
            QVERIFY(dialog.m_edit->text().isEmpty());
            QVERIFY(!dialog.m_addButton->isEnabled());
        }
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 МВД", "2 Россия", "3 россия"}));
        QCOMPARE(dialog.m_words.UserWords()[0].AllCaps(), 1);

        const struct
        {
            QString typed;
            std::string message;
        } refusals[] = {
            {" \t ", "Введите слово!"},
            {"МВД ", "Слово \"МВД\" уже находится в словаре!"},
        };
        for (const auto& refusal : refusals)
        {
            prompter.m_messages.clear();
            dialog.m_edit->setText(refusal.typed);
            dialog.m_addButton->click();
            QCOMPARE(prompter.m_messages,
                     std::vector<CScriptedPrompter::Message>({{refusal.message, MessageIcon::Error}}));
            QCOMPARE(dialog.m_edit->text(), refusal.typed);
        }

        SelectRows(*dialog.m_list, {0, 2});
        QVERIFY(dialog.m_deleteButton->isEnabled());
        dialog.m_deleteButton->click();
        QCOMPARE(Rows(*dialog.m_list), QStringList({"1 Россия"}));
        QVERIFY(!dialog.m_deleteButton->isEnabled());

        prompter.Answer({PromptAnswer::No, PromptAnswer::Yes});
        dialog.m_clearButton->click();
        QCOMPARE(dialog.m_list->topLevelItemCount(), 1);
        dialog.m_clearButton->click();
        QVERIFY(dialog.m_words.UserWords().empty());
        QVERIFY(!dialog.m_clearButton->isEnabled());
        QCOMPARE(prompter.m_questions, std::vector<std::string>(2, "Удалить все слова в словаре?"));
        QCOMPARE(dialog.m_words.BuiltinWords().size(), std::size_t(15));
    }

    void WordsOkAssignsCancelDiscards()
    {
        CScriptedPrompter prompter;
        CUpperCaseWordsDict words;
        for (const bool ok : {false, true})
        {
            QTimer::singleShot(0,
                               [ok]
                               {
                                   auto* dialog =
                                       qobject_cast<CUpperCaseWordsDlg*>(QApplication::activeModalWidget());
                                   QVERIFY(dialog);
                                   dialog->m_edit->setText(QStringLiteral("ОВД"));
                                   dialog->m_addButton->click();
                                   dialog->findChild<QPushButton*>(ok ? "okButton" : "cancelButton")->click();
                               });
            QCOMPARE(EditUpperCaseWords(words, prompter, nullptr), ok);
        }
        QCOMPARE(words.UserWords().size(), std::size_t(1));
        QCOMPARE(words.UserWords()[0].Word(), Cp("ОВД"));
    }
};

QTEST_MAIN(DictDlgTest)
#include "test_dictdlg.moc"
