// The folder rules, the folder chooser, the options dialog with the extended recognition applied to
// the open document, the progress window and its clock, whole dialog titles, and the file dialog.

#include "GuiTestSupport.h"

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"

#include "gui/app/CFolderChooser.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/COptionsDlg.h"
#include "gui/app/CProgressWnd.h"
#include "gui/app/CommandIds.h"
#include "gui/app/FolderChecks.h"
#include "gui/common/QtTranslations.h"
#include "gui/dictionaries/CDocDictDlg.h"
#include "gui/dictionaries/CUpperCaseWordsDlg.h"
#include "gui/panel/CFilterDlg.h"
#include "gui/widgets/CFileOpenDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void FolderNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Done" << true;
        QTest::newRow("Cyrillic with inner blank") << "Готовые документы" << true;
        QTest::newRow("inner dot") << "v1.2" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("leading blank") << " Done" << false;
        QTest::newRow("trailing dot") << "Done." << false;
        QTest::newRow("leading tab") << "\tDone" << false;
        QTest::newRow("question mark") << "Wo?rk" << false;
        QTest::newRow("colon") << "a:b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("quote") << "a\"b" << false;
        QTest::newRow("bar") << "a|b" << false;
    }

    void FolderNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(IsValidFolderName(name), valid);
    }

    void CheckingAndCreatingPaths()
    {
        QTemporaryDir dir;
        const QString base = dir.path();
        const struct
        {
            QString path;
            bool checkOnly;
            int result;
        } cases[] = {
            {"/", true, kFolderOk},
            {"/", false, kFolderOk},
            {"", true, kFolderBadName},
            {"relative/path", true, kFolderBadName},
            {base + "/Done/", true, kFolderBadName},
            {base + "//Done", true, kFolderBadName},
            {base + "/ Done", true, kFolderBadName},
            {base + "/Done.", true, kFolderBadName},
            {base + "/Wo?rk", true, kFolderBadName},
            {base + "/New", true, kFolderOk},
            {base + "/New/Deeper", false, kFolderOk},
            {base + "/file.txt/sub", false, kFolderNotCreated},
        };
        QFile file(base + "/file.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        for (const auto& c : cases)
            QVERIFY2(CheckOrCreatePath(c.path, c.checkOnly) == c.result, qPrintable(c.path));
        QVERIFY(QDir(base + "/New/Deeper").exists());
    }

    void CheckFolderAsksAndReports()
    {
        QTemporaryDir dir;
        CScriptedPrompter prompter;
        const QString missing = dir.filePath("Done");

        prompter.Answer({PromptAnswer::No});
        QCOMPARE(CheckFolder(missing, prompter), -1);
        QVERIFY(!QDir(missing).exists());
        QCOMPARE(prompter.m_questions.back(),
                 "Папка:\n\n" + missing.toStdString() + "\n\nне существует. Создать папку?");
        QVERIFY(prompter.m_messages.empty());

        prompter.Answer({PromptAnswer::Yes});
        QCOMPARE(CheckFolder(missing, prompter), 0);
        QVERIFY(QDir(missing).exists());
        QCOMPARE(CheckFolder(missing, prompter), 0); // exists now: no question
        QCOMPARE(prompter.m_questions.size(), std::size_t(2));

        const QString bad = dir.filePath("Done") + "/";
        QCOMPARE(CheckFolder(bad, prompter), int(kFolderBadName));
        QCOMPARE(prompter.m_messages.back(),
                 (CScriptedPrompter::Message{"Ошибочное название папки:\n\n" + bad.toStdString() +
                                                 "\n\n. Переименуйте папку.",
                                             MessageIcon::Exclamation}));

        QFile file(dir.filePath("plain"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString blocked = dir.filePath("plain/sub");
        prompter.Answer({PromptAnswer::Yes});
        QCOMPARE(CheckFolder(blocked, prompter), int(kFolderNotCreated));
        QCOMPARE(
            prompter.m_messages.back(),
            (CScriptedPrompter::Message{"Папка:\n\n" + blocked.toStdString() + "\n\nне может быть создана.",
                                        MessageIcon::Exclamation}));
        QCOMPARE(prompter.m_unscripted, 0);
    }

    void ChooserTakesATypedFolder()
    {
        QTemporaryDir dir;
        CScriptedPrompter prompter;
        CFolderChooser chooser(QStringLiteral("Выбор папки"), QStringLiteral("Выберете папку"), dir.path(),
                               nullptr, prompter);
        QCOMPARE(chooser.windowTitle(), QStringLiteral("Выбор папки"));
        QCOMPARE(chooser.PathEdit()->text(), dir.path());
        QVERIFY(chooser.OkButton()->isEnabled());

        chooser.PathEdit()->clear();
        QVERIFY(!chooser.OkButton()->isEnabled());

        // A bad name keeps the dialog open; a missing folder is created on Yes and chosen.
        chooser.PathEdit()->setText(dir.filePath("Done") + "/");
        chooser.show();
        chooser.OkButton()->click();
        QVERIFY(chooser.isVisible());
        QCOMPARE(prompter.m_messages.size(), std::size_t(1));

        prompter.Answer({PromptAnswer::Yes});
        chooser.PathEdit()->setText(dir.filePath("Done"));
        chooser.OkButton()->click();
        QVERIFY(!chooser.isVisible());
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.Result(), dir.filePath("Done"));
        QVERIFY(QDir(dir.filePath("Done")).exists());
        QCOMPARE(chooser.PathEdit()->geometry().width(), chooser.Tree()->geometry().width());
        QVERIFY(chooser.PathEdit()->geometry().bottom() < chooser.Tree()->geometry().top());
    }

    void OptionsDialog()
    {
        CScriptedPrompter prompter;
        COptionsDlg dialog(nullptr, prompter);
        dialog.m_autoSaveOnNext = false;
        dialog.m_makeBak = true;
        dialog.m_moveOnSave = true;
        dialog.m_processedFolder = QStringLiteral("/srv/готово");
        dialog.ShowCopies();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Параметры"));
        QCOMPARE(dialog.m_autoSaveBox->text(),
                 QStringLiteral("Автоматически сохранять при открытии следующего документа"));
        QCOMPARE(dialog.m_makeBakBox->text(),
                 QStringLiteral("Создавать резервные .bak копии файлов при сохранении"));
        QCOMPARE(dialog.m_moveOnSaveBox->text(), QStringLiteral("Перемещать файлы при сохранении"));
        QVERIFY(dialog.m_folderEdit->isEnabled() && dialog.m_browseButton->isEnabled());

        // Unticking "move" disables the folder but keeps its text, which OK stores.
        dialog.m_moveOnSaveBox->click();
        QVERIFY(!dialog.m_folderEdit->isEnabled() && !dialog.m_browseButton->isEnabled());
        dialog.m_autoSaveBox->click();
        dialog.m_makeBakBox->click();
        dialog.accept();
        QVERIFY(dialog.m_autoSaveOnNext && !dialog.m_makeBak && !dialog.m_moveOnSave);
        QCOMPARE(dialog.m_processedFolder, QStringLiteral("/srv/готово"));
    }

    // The extended recognition is off at first; ticked in the options it is kept in the profile,
    // read by the next window, and used for the documents opened from then on. The status line says
    // how many entries a document got, and when it got none with the option off, where to turn it on.
    void ExtendedRecognitionFromTheOptions()
    {
        QTemporaryDir settings;
        const QString path = settings.filePath(QStringLiteral("a.rla"));
        WriteDocument(path, {"Глава 1. Общие положения", "", "Статья 1. Предмет", "", "Текст.", "",
                             "Статья 2. Права", "", "Текст."});
        const auto optionsSetting = [](bool extended)
        {
            QTimer::singleShot(0,
                               [extended]
                               {
                                   auto* dialog =
                                       qobject_cast<COptionsDlg*>(QApplication::activeModalWidget());
                                   QVERIFY(dialog);
                                   QCOMPARE(dialog->m_extendedBox->text(),
                                            QStringLiteral("Расширенное распознавание заголовков"));
                                   QCOMPARE(dialog->m_extendedBox->isChecked(), !extended);
                                   dialog->m_extendedBox->click();
                                   dialog->accept();
                               });
        };
        {
            TestWindow window(settings.path());
            QVERIFY(!window.Session().Recognition().extended);
            // The window as it first opens on a 1024 x 768 screen shows the hint whole; its tooltip
            // says it in full.
            window.m_frame->resize(900, 650);
            window.m_frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
            window.Session().OpenFiles({path.toStdString()});
            QStatusBar* bar = window.m_frame->statusBar();
            const QString hint = bar->currentMessage();
            QCOMPARE(hint,
                     QStringLiteral("Пункты не найдены. Расширенное распознавание: Сервис → Параметры"));
            // The message is drawn from a few pixels in up to the position pane.
            const int room = window.m_frame->PositionPane()->mapTo(bar, QPoint(0, 0)).x() - 8;
            QVERIFY2(bar->fontMetrics().horizontalAdvance(hint) <= room, qPrintable(QString::number(room)));
            QVERIFY(
                bar->toolTip().contains(QStringLiteral("«Расширенное распознавание заголовков» в Сервис → "
                                                       "Параметры")));
            optionsSetting(true);
            window.m_frame->OnCommand(CommandId::Options);
            QVERIFY(window.Session().Recognition().extended);
            QCOMPARE(window.Session().Settings(), SessionSettings());

            // The option applies to the open document at once.
            QVERIFY(window.m_frame->Action(CommandId::Reprocess)->isEnabled());
            window.m_prompter.Answer({PromptAnswer::No});
            window.m_frame->OnCommand(CommandId::Reprocess);
            QCOMPARE(bar->currentMessage(), QStringLiteral("Найдено пунктов оглавления: 3"));
            QCOMPARE(window.View().Entries().size(), std::size_t(3));
            QCOMPARE(window.m_frame->windowTitle(), QStringLiteral("Тирвель - %1*").arg(path));
            QCOMPARE(bar->toolTip(), QStringLiteral("Найдено пунктов оглавления: 3"));
        }
        QVERIFY(CKestrelApp::Profile().value(QStringLiteral("Recognition/extended")).toBool());
        {
            TestWindow window(settings.path());
            QVERIFY(window.Session().Recognition().extended);
            window.Session().OpenFiles({path.toStdString()});
            QCOMPARE(window.m_frame->statusBar()->currentMessage(),
                     QStringLiteral("Найдено пунктов оглавления: 3"));
            QCOMPARE(window.View().Entries().size(), std::size_t(3));
            optionsSetting(false);
            window.m_frame->OnCommand(32793);
        }
        QVERIFY(!CKestrelApp::Profile().value(QStringLiteral("Recognition/extended")).toBool());
    }

    void OptionsCancelChangesNothing()
    {
        TestWindow window;
        QTimer::singleShot(0,
                           []
                           {
                               auto* dialog = qobject_cast<COptionsDlg*>(QApplication::activeModalWidget());
                               QVERIFY(dialog);
                               dialog->m_autoSaveBox->click();
                               dialog->m_makeBakBox->click();
                               dialog->m_moveOnSaveBox->click();
                               dialog->m_folderEdit->setText(QStringLiteral("/x"));
                               dialog->reject();
                           });
        window.m_frame->OnCommand(32793);
        QCOMPARE(window.Session().Settings(), SessionSettings());
    }

    void ElapsedText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << "%M:%S" << qint64(0) << "00:00";
        QTest::newRow("75 s") << "%M:%S" << qint64(75) << "01:15";
        QTest::newRow("hours not shown") << "%M:%S" << qint64(61 * 60 + 5) << "01:05";
        QTest::newRow("all fields") << "%D %H:%M:%S %%" << qint64(90061) << "1 01:01:01 %";
        QTest::newRow("unknown pair gives nothing") << "a%Xb%" << qint64(5) << "ab";
    }

    void ElapsedText()
    {
        QFETCH(QString, pattern);
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(CProgressWnd::FormatElapsed(pattern, seconds), text);
    }

    // The clock shows the whole seconds elapsed, and its timer aims at the end of the running second
    // (a timer that fired early would otherwise leave a second out).
    void ClockShowsWholeSeconds()
    {
        qint64 now = 5000;
        CProgressWnd progress(QStringLiteral("Конвертирование оглавлений"), nullptr, [&now] { return now; });
        auto* timer = progress.findChild<QTimer*>(QStringLiteral("clockTimer"));
        QVERIFY(timer && timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->timerType(), Qt::PreciseTimer);
        QCOMPARE(progress.ElapsedText(), QStringLiteral("00:00"));
        const struct
        {
            qint64 elapsed;
            const char* text;
            int nextTick;
        } ticks[] = {
            {999, "00:00", 1},  {1000, "00:01", 1000},  {1400, "00:01", 600},
            {1999, "00:01", 1}, {75000, "01:15", 1000}, {61 * 60000 + 5000, "01:05", 1000},
        };
        for (const auto& tick : ticks)
        {
            now = 5000 + tick.elapsed;
            progress.ShowElapsed();
            QCOMPARE(progress.ElapsedText(), QString::fromLatin1(tick.text));
            QCOMPARE(timer->interval(), tick.nextTick);
        }
    }

    // No title is cut where the desktop draws it: each dialog is wider than its title in a bold font
    // with room for the icon and the buttons of the title bar.
    void DialogTitlesAreWhole()
    {
        CScriptedPrompter prompter;
        CDocKindsList kinds;
        CUpperCaseWordsDict words;
        CFilterDlg filter;
        COptionsDlg options(nullptr, prompter);
        CFolderChooser chooser(QStringLiteral("Выбор папки"),
                               QStringLiteral("Выберете папку с файлами в исходном формате"),
                               QDir::tempPath(), nullptr, prompter);
        CDocDictDlg kindsDialog(kinds, prompter);
        CUpperCaseWordsDlg wordsDialog(words, prompter);
        CProgressWnd progress(QStringLiteral("Конвертирование оглавлений"), nullptr);
        QFont titleFont = QApplication::font();
        titleFont.setBold(true);
        for (QWidget* dialog : std::initializer_list<QWidget*>{&filter, &options, &chooser, &kindsDialog,
                                                               &wordsDialog, &progress})
        {
            dialog->show();
            const int needed = QFontMetrics(titleFont).horizontalAdvance(dialog->windowTitle()) + 100;
            QVERIFY2(dialog->width() >= needed, qPrintable(dialog->windowTitle()));
            QVERIFY2(dialog->width() <= 1024, qPrintable(dialog->windowTitle()));
        }
        QVERIFY(filter.width() > 206);
    }

    // Qt's file dialog in Russian under any locale: "Folder" from the program's catalogue, sizes and
    // dates written the Russian way, and the size, type and date columns as wide as their texts.
    void FileDialogSpeaksRussianInColumnsThatFit()
    {
        InstallRussianQtTranslations();
        QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
                 QStringLiteral("Папка"));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("подпапка")));
        QFile file(dir.filePath(QStringLiteral("закон.rla")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2100, 'a'));
        file.close();

        CFileOpenDlg dialog(nullptr, dir.path(), {QStringLiteral("Файлы в исходном формате (*.rla)")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(tree && tree->isVisible());
        QAbstractItemModel* model = tree->model();
        QTRY_COMPARE(model->rowCount(tree->rootIndex()), 2);
        QMap<QString, QStringList> rows;
        for (int row = 0; row < 2; ++row)
        {
            QStringList texts;
            for (int column = 0; column < 4; ++column)
                texts << model->index(row, column, tree->rootIndex()).data().toString();
            rows[texts.takeFirst()] = texts;
        }
        QCOMPARE(rows[QStringLiteral("подпапка")].mid(0, 2),
                 (QStringList{QString(), QStringLiteral("Папка")}));
        QCOMPARE(rows[QStringLiteral("закон.rla")][0], QStringLiteral("2,1 КБ"));
        const QRegularExpression russianType(QStringLiteral("^[А-Яа-яЁё ]+$"));
        QVERIFY2(russianType.match(rows[QStringLiteral("закон.rla")][1]).hasMatch(),
                 qPrintable(rows[QStringLiteral("закон.rla")][1]));
        const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"));
        for (const QStringList& texts : rows)
            QVERIFY2(date.match(texts[2]).hasMatch(), qPrintable(texts[2]));
        QCOMPARE(CFileOpenDlg::SizeText(231), QStringLiteral("231 байт"));
        QCOMPARE(CFileOpenDlg::SizeText(5 * 1024 * 1024 + 300 * 1024), QStringLiteral("5,3 МБ"));

        QVERIFY(dialog.width() <= 1024 && dialog.height() <= 768);
        QHeaderView* header = tree->header();
        for (int column = 1; column < 4; ++column)
        {
            int widest = header->sectionSizeHint(column);
            for (int row = 0; row < 2; ++row)
                widest = std::max(
                    widest, tree->sizeHintForIndex(model->index(row, column, tree->rootIndex())).width());
            QVERIFY2(header->sectionSize(column) >= widest,
                     qPrintable(model->headerData(column, Qt::Horizontal).toString()));
        }
    }

    void ProgressWindowSharesItsPosition()
    {
        QCOMPARE(CProgressWnd::SharedPosition(), QPoint(100, 50));
        {
            CProgressWnd progress(QStringLiteral("Конвертирование оглавлений"), nullptr);
            QCOMPARE(progress.windowTitle(), QStringLiteral("Конвертирование оглавлений"));
            QCOMPARE(progress.ElapsedText(), QStringLiteral("00:00"));
            QCOMPARE(progress.pos(), QPoint(100, 50));
            QTRY_COMPARE_WITH_TIMEOUT(progress.ElapsedText(), QStringLiteral("00:01"), 2500);
            progress.move(300, 200);
        }
        CProgressWnd next(QStringLiteral("Конвертирование оглавлений"), nullptr);
        QCOMPARE(next.pos(), QPoint(300, 200));
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
