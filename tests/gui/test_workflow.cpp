// The folder workflow of the editor view: queue, opening, saving with backup and move, deleting,
// the questions on leaving a changed document, closing, command availability, settings.

#include "GuiTestSupport.h"

#include "gui/app/CKestrelDoc.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/common/IEntryPanel.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

namespace
{
std::string Marker(const char* code)
{
    return std::string("♦♦") + code + std::string(61, '-');
}

// A small law: its title block and two articles, enough for the engine to write entries.
const std::vector<std::string> kArticles = {
    Marker("ЗАГ"),
    "                        ФЕДЕРАЛЬНЫЙ ЗАКОН",
    "",
    "                    О ПРОБНЫХ ДОКУМЕНТАХ",
    Marker("!!!"),
    "",
    "     Статья 1. Предмет регулирования",
    "",
    "     Настоящий закон регулирует отношения.",
    "",
    "     Статья 2. Основные понятия",
    "",
    "     Для целей настоящего закона: ┌──┐ │ │ └──┘.",
};

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

QString Title(const TestWindow& window)
{
    return window.m_frame->windowTitle();
}

bool HasTocBlock(const std::vector<std::string>& lines)
{
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return line.rfind("♦♦ОГЛ", 0) == 0; });
}
} // namespace

class WorkflowTest : public QObject
{
    Q_OBJECT

private slots:
    void QueueOpensInByteOrder()
    {
        TestWindow window;
        for (const char* name : {"b.rla", "A.rla", "a.rla"})
            WriteDocument(window.Path(QString::fromLatin1(name)), kArticles);
        CKestrelView& view = window.View();
        view.m_askFilesToOpen = [&] {
            return QStringList{window.Path("b.rla"), window.Path("A.rla"), window.Path("a.rla")};
        };
        view.m_autoSaveOnNext = false;

        window.m_frame->OnCommand(CommandId::FileOpen);
        QCOMPARE(view.m_currentPath, Utf8(window.Path("A.rla")));
        QCOMPARE(Title(window), QStringLiteral("Тирвель - ") + window.Path("A.rla") + QStringLiteral("*"));
        QVERIFY(HasTocBlock(EditorLines(view)));
        QVERIFY(!view.m_busy);

        window.m_prompter.Answer({PromptAnswer::No, PromptAnswer::No});
        window.m_frame->OnCommand(CommandId::NextDocument);
        QCOMPARE(view.m_currentPath, Utf8(window.Path("a.rla")));
        window.m_frame->OnCommand(CommandId::NextDocument);
        QCOMPARE(view.m_currentPath, Utf8(window.Path("b.rla")));
        QVERIFY(view.m_pendingFiles.empty());
        QCOMPARE(window.m_prompter.m_questions.size(), std::size_t(2));
        QCOMPARE(window.m_prompter.m_questions[0],
                 std::string("Текст документа был изменён.\nСохранить изменения?"));
    }

    // A folder adds to what is queued, duplicates included; the open file met again in the queue is
    // refused and dropped, and the next command goes on with the rest.
    void FolderAddsToQueueAndOpenFileIsRefused()
    {
        TestWindow window;
        QDir(window.m_dir.path()).mkdir("in");
        for (const char* name : {"in/x.rla", "in/y.rla", "in/notes.txt"})
            WriteDocument(window.Path(QString::fromLatin1(name)), kArticles);
        QDir(window.m_dir.path()).mkdir("in/sub.rla");
        CKestrelView& view = window.View();
        view.m_autoSaveOnNext = false;

        view.OpenFolder(window.Path("in"));
        QCOMPARE(view.m_currentPath, Utf8(window.Path("in/x.rla")));
        view.m_modified = false; // as if saved: no question on leaving
        view.OpenFolder(window.Path("in"));
        // x.rla was queued again and is the front: refused, dropped.
        QCOMPARE(window.m_prompter.m_messages.back().text,
                 "Файл " + Utf8(window.Path("in/x.rla")) + " уже обрабатывается!");
        QCOMPARE(window.m_prompter.m_messages.back().icon, MessageIcon::Error);
        QCOMPARE(view.m_currentPath, Utf8(window.Path("in/x.rla")));
        const std::deque<std::string> expected{Utf8(window.Path("in/y.rla")), Utf8(window.Path("in/y.rla"))};
        QCOMPARE(view.m_pendingFiles, expected);

        view.m_modified = false;
        window.m_frame->OnCommand(CommandId::NextDocument);
        QCOMPARE(view.m_currentPath, Utf8(window.Path("in/y.rla")));
        view.m_modified = false;
        window.m_frame->OnCommand(CommandId::NextDocument);
        QCOMPARE(window.m_prompter.m_messages.back().text,
                 "Файл " + Utf8(window.Path("in/y.rla")) + " уже обрабатывается!");
        QVERIFY(view.m_pendingFiles.empty());
    }

    void EmptyFolderLeavesTheDocumentAsItIs()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        QDir(window.m_dir.path()).mkdir("empty");
        CKestrelView& view = window.View();
        view.OpenFiles({window.Path("a.rla")});
        const std::vector<std::string> shown = EditorLines(view);
        view.OpenFolder(window.Path("empty"));
        QCOMPARE(view.m_currentPath, Utf8(window.Path("a.rla")));
        QCOMPARE(EditorLines(view), shown);
        QVERIFY(window.m_prompter.m_messages.empty());
    }

    void LeavingAChangedDocument_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("openAfterwards");
        QTest::newRow("Yes saves, then opens") << int(PromptAnswer::Yes) << true << "b.rla";
        QTest::newRow("No opens without saving") << int(PromptAnswer::No) << false << "b.rla";
        QTest::newRow("Cancel keeps the document") << int(PromptAnswer::Cancel) << false << "a.rla";
    }

    void LeavingAChangedDocument()
    {
        QFETCH(int, answer);
        QFETCH(bool, saved);
        QFETCH(QString, openAfterwards);
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        WriteDocument(window.Path("b.rla"), kArticles);
        CKestrelView& view = window.View();
        view.m_autoSaveOnNext = false;
        view.OpenFiles({window.Path("a.rla"), window.Path("b.rla")});
        view.appendPlainText(QStringLiteral("правка"));
        const QByteArray original = ReadBytes(window.Path("a.rla"));

        window.m_prompter.Answer({PromptAnswer(answer)});
        window.m_frame->OnCommand(CommandId::NextDocument);
        QCOMPARE(window.m_prompter.m_questions.size(), std::size_t(1));
        QCOMPARE(view.m_currentPath, Utf8(window.Path(openAfterwards)));
        QCOMPARE(QFileInfo::exists(window.Path("a.bak")), saved);
        QCOMPARE(ReadBytes(window.Path("a.rla")) != original, saved);
        QVERIFY(view.m_pendingFiles.empty()); // the front left the queue in every case
        if (PromptAnswer(answer) == PromptAnswer::Cancel)
        {
            QCOMPARE(EditorLines(view).back(), std::string("правка"));
            QVERIFY(view.m_modified);
        }
    }

    // Auto-save with move on save: the next command saves without asking, the file ends in the
    // processed folder with its backup beside it.
    void AutoSaveMovesIntoProcessedFolder()
    {
        TestWindow window;
        QDir(window.m_dir.path()).mkdir("done");
        WriteDocument(window.Path("a.rla"), kArticles);
        WriteDocument(window.Path("b.rla"), kArticles);
        const QByteArray original = ReadBytes(window.Path("a.rla"));
        CKestrelView& view = window.View();
        view.m_autoSaveOnNext = true;
        view.m_moveOnSave = true;
        view.m_processedFolder = window.Path("done");

        view.OpenFiles({window.Path("a.rla"), window.Path("b.rla")});
        window.m_frame->OnCommand(CommandId::NextDocument);
        QVERIFY(window.m_prompter.m_questions.empty());
        QVERIFY(window.m_prompter.m_messages.empty());
        QVERIFY(!QFileInfo::exists(window.Path("a.rla")));
        QCOMPARE(ReadBytes(window.Path("done/a.bak")), original);
        QVERIFY(HasTocBlock(DocumentText(window.Path("done/a.rla"))));
        QCOMPARE(view.m_currentPath, Utf8(window.Path("b.rla")));
    }

    // Saving moves once per opening and backs up once: the title follows the file, a second save
    // writes in the processed folder again and keeps the first backup.
    void SaveMovesOnceAndBacksUpOnce()
    {
        TestWindow window;
        QDir(window.m_dir.path()).mkdir("done");
        WriteDocument(window.Path("a.rla"), kArticles);
        const QByteArray original = ReadBytes(window.Path("a.rla"));
        CKestrelView& view = window.View();
        view.m_moveOnSave = true;
        view.m_processedFolder = window.Path("done");
        view.OpenFiles({window.Path("a.rla")});

        window.m_frame->OnCommand(CommandId::FileSave);
        QCOMPARE(Title(window), QStringLiteral("Тирвель - ") + window.Path("done/a.rla"));
        QCOMPARE(view.m_document.m_path, Utf8(window.Path("done/a.rla")));
        view.appendPlainText(QStringLiteral("ещё"));
        QCOMPARE(Title(window),
                 QStringLiteral("Тирвель - ") + window.Path("done/a.rla") + QStringLiteral("*"));
        window.m_frame->OnCommand(CommandId::FileSave);
        QCOMPARE(DocumentText(window.Path("done/a.rla")).back(), std::string("ещё"));
        QCOMPARE(ReadBytes(window.Path("done/a.bak")), original);
        QVERIFY(window.m_prompter.m_messages.empty());
    }

    void MoveRefusalsSaveInPlace_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::newRow("no folder") << QString()
                                   << QStringLiteral("Папка для обработанных документов не задана!\nУкажите "
                                                     "папку в пункте меню\"Сервис->Параметры\"");
        QTest::newRow("already there")
            << QStringLiteral(".")
            << QStringLiteral(
                   "Перенос файла невозможен так как сохраняемый файл уже находится в папке для "
                   "обработанных документов!\nУкажите другую папку в пункте меню\"Сервис->Параметры\"");
        QTest::newRow("move fails") << QStringLiteral("missing-folder")
                                    << QStringLiteral(
                                           "Ошибка переноса файла в папку для обработанных документов!");
    }

    void MoveRefusalsSaveInPlace()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        CKestrelView& view = window.View();
        view.m_moveOnSave = true;
        view.m_processedFolder = folder.isEmpty() ? QString()
                                 : folder == "."  ? window.m_dir.path()
                                                  : window.Path(folder);
        view.OpenFiles({window.Path("a.rla")});
        window.m_frame->OnCommand(CommandId::FileSave);

        QCOMPARE(window.m_prompter.m_messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(window.m_prompter.m_messages[0].text), message);
        QCOMPARE(window.m_prompter.m_messages[0].icon, MessageIcon::Error);
        QCOMPARE(view.m_currentPath, Utf8(window.Path("a.rla")));
        QVERIFY(HasTocBlock(DocumentText(window.Path("a.rla"))));
        QVERIFY(QFileInfo::exists(window.Path("a.bak")));
    }

    void BackupOnlyWhenAsked()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        CKestrelView& view = window.View();
        view.m_makeBak = false;
        view.OpenFiles({window.Path("a.rla")});
        window.m_frame->OnCommand(CommandId::FileSave);
        QVERIFY(HasTocBlock(DocumentText(window.Path("a.rla"))));
        QVERIFY(!QFileInfo::exists(window.Path("a.bak")));
    }

    // A save that cannot write keeps the document changed: nothing is lost by closing afterwards.
    void FailedSaveKeepsTheChanges()
    {
        TestWindow window;
        QDir(window.m_dir.path()).mkdir("gone");
        WriteDocument(window.Path("gone/a.rla"), kArticles);
        CKestrelView& view = window.View();
        view.OpenFiles({window.Path("gone/a.rla")});
        QVERIFY(QDir(window.Path("gone")).removeRecursively());

        window.m_frame->OnCommand(CommandId::FileSave);
        QVERIFY(!window.m_prompter.m_messages.empty());
        QCOMPARE(window.m_prompter.m_messages.back().text,
                 "Ошибка сохранения файла " + Utf8(window.Path("gone/a.rla")) + "!");
        QVERIFY(view.m_modified);
        QVERIFY(Title(window).endsWith('*'));
        QVERIFY(window.m_frame->Action(CommandId::FileSave)->isEnabled());
        window.m_prompter.Answer({PromptAnswer::Cancel});
        QVERIFY(!window.m_frame->close());
        QCOMPARE(window.m_prompter.m_questions.size(), std::size_t(1));
    }

    void DeleteToTrash()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        WriteDocument(window.Path("b.rla"), kArticles);
        CKestrelView& view = window.View();
        view.OpenFiles({window.Path("a.rla"), window.Path("b.rla")});

        window.m_prompter.Answer({PromptAnswer::No});
        window.m_frame->OnCommand(CommandId::DeleteFile);
        QVERIFY(QFileInfo::exists(window.Path("a.rla")));

        window.m_prompter.Answer({PromptAnswer::Yes});
        window.m_frame->OnCommand(CommandId::DeleteFile);
        QCOMPARE(window.m_prompter.m_questions,
                 (std::vector<std::string>{"Удалить файл в корзину?", "Удалить файл в корзину?"}));
        QVERIFY(window.m_prompter.m_messages.empty());
        QVERIFY(!QFileInfo::exists(window.Path("a.rla")));
        const QString trash =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files/a.rla";
        QVERIFY2(QFileInfo::exists(trash), qPrintable(trash));
        QCOMPARE(Title(window), QStringLiteral("Тирвель"));
        QVERIFY(view.toPlainText().isEmpty());
        QVERIFY(view.Entries().empty());
        QVERIFY(!window.m_frame->Action(CommandId::FileSave)->isEnabled());
        QVERIFY(!window.m_frame->Action(CommandId::DeleteFile)->isEnabled());
        QVERIFY(window.m_frame->Action(CommandId::NextDocument)->isEnabled());
        QVERIFY(view.m_document.m_path.empty());
    }

    void FailedLoadLeavesNothingOpen()
    {
        TestWindow window;
        CKestrelView& view = window.View();
        const QString missing = window.Path("missing.rla");
        view.OpenFiles({missing});
        QCOMPARE(window.m_prompter.m_messages.size(), std::size_t(1));
        QCOMPARE(window.m_prompter.m_messages[0].text, "Ошибка открытия файла " + Utf8(missing));
        QCOMPARE(window.m_prompter.m_messages[0].icon, MessageIcon::Error);
        QVERIFY(!view.m_busy);
        QVERIFY(view.m_currentPath.empty());
        QVERIFY(view.toPlainText().isEmpty());
        QCOMPARE(Title(window), QStringLiteral("Тирвель"));
        QVERIFY(!window.m_frame->Action(CommandId::FileSave)->isEnabled());
        QVERIFY(window.m_frame->Action(CommandId::FileOpen)->isEnabled());
    }

    // An error while the text is processed is reported and ends the busy state; nothing stays open.
    void ProcessingErrorEndsBusy()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        window.m_frame->Doc().m_recognizer = [](const std::vector<std::string>&, const CUpperCaseWordsDict&,
                                                const CDocKindsList&, IReporter&,
                                                const std::function<void()>& pump)
        {
            pump();
            throw std::bad_alloc();
            return ProcessResult{};
        };
        CKestrelView& view = window.View();
        view.OpenFiles({window.Path("a.rla")});
        QCOMPARE(window.m_prompter.m_messages.size(), std::size_t(1));
        QCOMPARE(window.m_prompter.m_messages[0].text,
                 "Ошибка обработки документа " + Utf8(window.Path("a.rla")));
        QVERIFY(!view.m_busy);
        QVERIFY(view.m_currentPath.empty());
        QCOMPARE(Title(window), QStringLiteral("Тирвель"));
        QVERIFY(window.m_frame->Action(CommandId::FileOpen)->isEnabled());
        QVERIFY(window.m_frame->close());
    }

    // Availability follows the view's flags; busy shuts the open, next, save and options commands.
    void CommandAvailability()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        WriteDocument(window.Path("b.rla"), kArticles);
        CKestrelView& view = window.View();
        CMainFrame& frame = *window.m_frame;
        auto enabled = [&](int id) { return frame.Action(id)->isEnabled(); };
        using namespace CommandId;

        // Nothing open.
        QVERIFY(enabled(FileOpen) && enabled(OpenFolder) && enabled(Options) && enabled(UpdateToc));
        QVERIFY(enabled(DocKindsDict) && enabled(UpperCaseWordsDict));
        QVERIFY(!enabled(FileSave) && !enabled(NextDocument) && !enabled(DeleteFile));
        QVERIFY(enabled(AutoSave) && enabled(MakeBak));
        QVERIFY(!frame.Action(AutoSave)->isChecked() && frame.Action(MakeBak)->isChecked());

        view.OpenFiles({window.Path("a.rla"), window.Path("b.rla")});
        QVERIFY(enabled(FileSave) && enabled(NextDocument) && enabled(DeleteFile));
        frame.OnCommand(FileSave);
        QVERIFY(!enabled(FileSave));

        // While the engine runs the window is pumped; look at the commands from inside.
        std::map<int, bool> whileBusy;
        view.m_pendingFiles.push_back(Utf8(window.Path("a.rla")));
        view.m_pendingFiles.push_front(Utf8(window.Path("b.rla")));
        QTimer::singleShot(0, &frame,
                           [&]
                           {
                               for (int id :
                                    {FileOpen, OpenFolder, NextDocument, FileSave, Options, DeleteFile,
                                     DocKindsDict, UpperCaseWordsDict, UpdateToc, AutoSave, MakeBak})
                                   whileBusy[id] = enabled(id);
                           });
        frame.OnCommand(NextDocument);
        QVERIFY(!whileBusy.empty());
        for (int id : {FileOpen, OpenFolder, NextDocument, FileSave, Options, DeleteFile, DocKindsDict,
                       UpperCaseWordsDict})
            QVERIFY2(!whileBusy[id], qPrintable(QString::number(id)));
        for (int id : {UpdateToc, AutoSave, MakeBak})
            QVERIFY2(whileBusy[id], qPrintable(QString::number(id)));

        frame.OnCommand(AutoSave);
        frame.OnCommand(MakeBak);
        QVERIFY(view.m_autoSaveOnNext && !view.m_makeBak);
        QVERIFY(frame.Action(AutoSave)->isChecked() && !frame.Action(MakeBak)->isChecked());
    }

    void CloseRefusedWhileBusyThenAsksAboutChanges()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        CKestrelView& view = window.View();
        window.m_frame->show();
        bool closedWhileBusy = true;
        QTimer::singleShot(0, window.m_frame.get(), [&] { closedWhileBusy = window.m_frame->close(); });
        view.OpenFiles({window.Path("a.rla")});
        QVERIFY(!closedWhileBusy);
        QCOMPARE(window.m_prompter.m_messages.size(), std::size_t(1));
        QCOMPARE(window.m_prompter.m_messages[0].text,
                 std::string("Выход из программы запрешен - дождитесь завершения обработки документа"));
        QCOMPARE(window.m_prompter.m_messages[0].icon, MessageIcon::Information);
        QVERIFY(HasTocBlock(EditorLines(view)));

        window.m_prompter.Answer({PromptAnswer::Cancel});
        QVERIFY(!window.m_frame->close());
        QCOMPARE(window.m_prompter.m_questions.back(),
                 "Сохранить документ в файл " + Utf8(window.Path("a.rla")) + "?");

        window.m_prompter.Answer({PromptAnswer::Yes});
        QVERIFY(window.m_frame->close());
        QVERIFY(HasTocBlock(DocumentText(window.Path("a.rla"))));
    }

    // The settings file is read at the view's set-up and written when the view goes.
    void SettingsSurviveARestart()
    {
        QTemporaryDir settings;
        {
            TestWindow window(settings.path());
            CKestrelView& view = window.View();
            QVERIFY(!view.m_autoSaveOnNext && view.m_makeBak && !view.m_moveOnSave &&
                    view.m_processedFolder.isEmpty());
            view.m_autoSaveOnNext = true;
            view.m_makeBak = false;
            view.m_moveOnSave = true;
            view.m_processedFolder = QStringLiteral("/srv/обработано");
        }
        QVERIFY(QFileInfo::exists(settings.filePath("Kestrel.ini")));
        TestWindow window(settings.path());
        CKestrelView& view = window.View();
        QVERIFY(view.m_autoSaveOnNext && !view.m_makeBak && view.m_moveOnSave);
        QCOMPARE(view.m_processedFolder, QStringLiteral("/srv/обработано"));
    }

    void EntriesReachThePanel()
    {
        struct RecordingPanel : IEntryPanel
        {
            void FillList(const std::vector<TocEntryRef>& entries, bool keepPosition) override
            {
                m_count = entries.size();
                m_keep = keepPosition;
                ++m_calls;
            }
            std::size_t m_count = 0;
            bool m_keep = false;
            int m_calls = 0;
        } panel;
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        window.m_frame->SetEntryPanel(&panel, nullptr);
        window.View().OpenFiles({window.Path("a.rla")});
        QVERIFY(panel.m_count > 0);
        QCOMPARE(panel.m_count, window.View().Entries().size());
        QVERIFY(!panel.m_keep);
        window.m_frame->OnCommand(CommandId::UpdateToc);
        QVERIFY(panel.m_keep);
        window.m_frame->SetEntryPanel(nullptr, nullptr);
    }
};

QTEST_MAIN(WorkflowTest)
#include "test_workflow.moc"
