// The folder rules, the folder chooser, the options dialog with the extended recognition, and the
// progress window.

#include "GuiTestSupport.h"

#include "gui/app/CFolderChooser.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/COptionsDlg.h"
#include "gui/app/CProgressWnd.h"
#include "gui/app/FolderChecks.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
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
            window.Session().OpenFiles({path.toStdString()});
            QCOMPARE(window.m_frame->statusBar()->currentMessage(),
                     QStringLiteral("Пункты не найдены. Включите «Расширенное распознавание заголовков» "
                                    "в Сервис → Параметры"));
            optionsSetting(true);
            window.m_frame->OnCommand(32793);
            QVERIFY(window.Session().Recognition().extended);
            QCOMPARE(window.Session().Settings(), SessionSettings());
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
