// The folder workflow as the window runs it: the commands reach the document session through the
// command table, the title and the actions follow the session, the real trash and progress window,
// the close rules, the settings file at start and end, and the same bytes as the batch tool.

#include "GuiTestSupport.h"

#include "cli/TocTool.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/entries/CContentFilter.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/CDocumentSession.h"
#include "gui/app/CEditCommands.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CProgressWnd.h"
#include "gui/app/CSessionHost.h"
#include "gui/app/CommandIds.h"
#include "gui/common/CEntryEditorQt.h"
#include "gui/common/EditorText.h"
#include "gui/common/IEntryPanel.h"
#include "gui/widgets/CFindReplaceDlg.h"
#include "gui/widgets/CTextEditHistory.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <filesystem>

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
    // The open command runs the dialog, the session opens the first file in byte order, and the
    // window shows it in its title, the editor and the panel.
    void OpenCommandsReachTheSession()
    {
        TestWindow window;
        for (const char* name : {"b.rla", "A.rla"})
            WriteDocument(window.Path(QString::fromLatin1(name)), kArticles);
        QDir(window.m_dir.path()).mkdir("in");
        WriteDocument(window.Path("in/c.rla"), kArticles);
        window.m_frame->Host().SetOpenDialogs(
            [&] {
                return QStringList{window.Path("b.rla"), window.Path("A.rla")};
            },
            [&] { return window.Path("in"); });

        window.m_frame->OnCommand(CommandId::FileOpen);
        QCOMPARE(Title(window), QStringLiteral("Тирвель - ") + window.Path("A.rla") + QStringLiteral("*"));
        QVERIFY(HasTocBlock(EditorLines(window.View())));
        QVERIFY(!window.View().Entries().empty());
        QVERIFY(window.m_frame->Action(CommandId::NextDocument)->isEnabled());

        window.m_prompter.Answer({PromptAnswer::No});
        window.m_frame->OnCommand(CommandId::OpenFolder);
        QCOMPARE(window.Session().CurrentPath(), Utf8(window.Path("b.rla")));
        QCOMPARE(window.Session().PendingFiles(), std::deque<std::string>{Utf8(window.Path("in/c.rla"))});
        QCOMPARE(window.m_prompter.m_questions,
                 std::vector<std::string>{"Текст документа был изменён.\nСохранить изменения?"});
    }

    // The actions follow the session's flags, also while the engine pumps the window.
    void ActionsFollowTheSession()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        WriteDocument(window.Path("b.rla"), kArticles);
        CMainFrame& frame = *window.m_frame;
        auto enabled = [&](int id) { return frame.Action(id)->isEnabled(); };
        using namespace CommandId;

        QVERIFY(enabled(FileOpen) && enabled(OpenFolder) && enabled(Options) && enabled(UpdateToc));
        QVERIFY(enabled(DocKindsDict) && enabled(UpperCaseWordsDict));
        QVERIFY(!enabled(FileSave) && !enabled(NextDocument) && !enabled(DeleteFile));
        QVERIFY(!frame.Action(AutoSave)->isChecked() && frame.Action(MakeBak)->isChecked());

        window.Session().OpenFiles({Utf8(window.Path("a.rla")), Utf8(window.Path("b.rla"))});
        QVERIFY(enabled(FileSave) && enabled(NextDocument) && enabled(DeleteFile));
        frame.OnCommand(FileSave);
        QVERIFY(!enabled(FileSave));

        std::map<int, bool> whileBusy;
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
        QCOMPARE(window.Session().Settings(), (SessionSettings{true, false, false, ""}));
        QVERIFY(frame.Action(AutoSave)->isChecked() && !frame.Action(MakeBak)->isChecked());
    }

    // The progress window is up while the document is processed and gone afterwards.
    void ProgressWindowWhileProcessing()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        window.m_frame->show();
        int progressWindows = -1;
        QTimer::singleShot(0, window.m_frame.get(),
                           [&] { progressWindows = window.m_frame->findChildren<CProgressWnd*>().size(); });
        window.Session().OpenFiles({Utf8(window.Path("a.rla"))});
        QCOMPARE(progressWindows, 1);
        QVERIFY(window.m_frame->findChildren<CProgressWnd*>().isEmpty());
    }

    void DeleteToTheRealTrash()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        WriteDocument(window.Path("b.rla"), kArticles);
        window.Session().OpenFiles({Utf8(window.Path("a.rla")), Utf8(window.Path("b.rla"))});

        window.m_prompter.Answer({PromptAnswer::Yes});
        window.m_frame->OnCommand(CommandId::DeleteFile);
        QVERIFY(window.m_prompter.m_messages.empty());
        QVERIFY(!QFileInfo::exists(window.Path("a.rla")));
        const QString trash =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files/a.rla";
        QVERIFY2(QFileInfo::exists(trash), qPrintable(trash));
        QCOMPARE(Title(window), QStringLiteral("Тирвель"));
        QVERIFY(window.View().toPlainText().isEmpty());
        QVERIFY(window.View().Entries().empty());
        QVERIFY(!window.m_frame->Action(CommandId::FileSave)->isEnabled());
        QVERIFY(window.m_frame->Action(CommandId::NextDocument)->isEnabled());
    }

    void CloseRefusedWhileBusyThenAsksAboutChanges()
    {
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        window.m_frame->show();
        bool closedWhileBusy = true;
        QTimer::singleShot(0, window.m_frame.get(), [&] { closedWhileBusy = window.m_frame->close(); });
        window.Session().OpenFiles({Utf8(window.Path("a.rla"))});
        QVERIFY(!closedWhileBusy);
        QCOMPARE(window.m_prompter.m_messages.size(), std::size_t(1));
        QCOMPARE(window.m_prompter.m_messages[0].text,
                 std::string("Выход из программы запрешен - дождитесь завершения обработки документа"));
        QCOMPARE(window.m_prompter.m_messages[0].icon, MessageIcon::Information);
        QVERIFY(HasTocBlock(EditorLines(window.View())));

        window.m_prompter.Answer({PromptAnswer::Cancel});
        QVERIFY(!window.m_frame->close());
        QCOMPARE(window.m_prompter.m_questions.back(),
                 "Сохранить документ в файл " + Utf8(window.Path("a.rla")) + "?");

        window.m_prompter.Answer({PromptAnswer::Yes});
        QVERIFY(window.m_frame->close());
        QVERIFY(HasTocBlock(DocumentText(window.Path("a.rla"))));
    }

    // A text too long to go into the editor at once goes in part by part with the events served in
    // between: the refusal to close answers at once, and nothing the operator does meanwhile (typing,
    // pasting, the editing commands, undo, a panel edit, replacing) lands in the half-filled text.
    void LongTextGoesInWithTheWindowAlive()
    {
        TestWindow window;
        std::vector<std::string> text;
        for (int article = 1; article <= 4000; ++article)
        {
            text.push_back("     Статья " + std::to_string(article) + ". Предмет регулирования");
            text.push_back("");
            text.push_back("     Настоящий закон регулирует отношения, о которых сказано в этой статье.");
            text.push_back("");
        }
        WriteDocument(window.Path("a.rla"), text);
        window.m_frame->show();
        CKestrelView& view = window.View();
        QApplication::clipboard()->setText(QStringLiteral("вставка"));
        CContentFilter filter;
        CEntryEditorQt panelEditor(view, view.History(), filter, nullptr, [](bool) {});

        int pumpsWhileFilling = 0;
        bool closed = true;
        QTimer operatorAtWork;
        operatorAtWork.setInterval(0);
        connect(&operatorAtWork, &QTimer::timeout, &view,
                [&]
                {
                    if (!view.isReadOnly())
                        return;
                    if (++pumpsWhileFilling == 1)
                        closed = window.m_frame->close();
                    view.moveCursor(QTextCursor::Start);
                    QTest::keyClick(&view, Qt::Key_A);
                    view.selectAll();
                    for (int id : {CommandId::EditPaste, CommandId::EditCut, CommandId::InsertTocTag,
                                   CommandId::UpperCase, CommandId::DeleteTocEntries, CommandId::EditUndo})
                        window.m_frame->OnCommand(id);
                    LineEdit edit;
                    edit.newLines = {"x"};
                    panelEditor.ApplyEdits({edit});
                    view.EditCommands().Replace();
                    auto* replace = window.m_frame->findChild<CFindReplaceDlg*>();
                    replace->m_findEdit->setText(QStringLiteral("Статья"));
                    replace->m_replaceEdit->setText(QStringLiteral("Заменено"));
                    replace->ReplaceAll();
                    replace->hide();
                });
        operatorAtWork.start();
        window.Session().OpenFiles({Utf8(window.Path("a.rla"))});
        operatorAtWork.stop();

        QVERIFY2(pumpsWhileFilling >= 5, qPrintable(QString::number(pumpsWhileFilling)));
        QVERIFY(!closed);
        QCOMPARE(window.m_prompter.m_messages.at(0).text,
                 std::string("Выход из программы запрешен - дождитесь завершения обработки документа"));
        CScriptedPrompter silent;
        CDocumentFile document(silent);
        document.Load(Utf8(window.Path("a.rla")));
        const CTextLines processed =
            ProcessDocument(document.TextLines(), CUpperCaseWordsDict(), CDocKindsList(), silent).lines;
        QCOMPARE(LinesOfEditorText(view.document()->toRawText()), processed);
        QVERIFY(!view.isReadOnly() && !view.History().CanUndo());

        // The history starts from the whole new text.
        view.selectAll();
        QTest::keyClick(&view, Qt::Key_Delete);
        QVERIFY(view.toPlainText().isEmpty());
        window.m_frame->OnCommand(CommandId::EditUndo);
        QCOMPARE(LinesOfEditorText(view.document()->toRawText()), processed);
    }

    // The settings file is read when the window is made and written when it goes.
    void SettingsSurviveARestart()
    {
        QTemporaryDir settings;
        {
            TestWindow window(settings.path());
            QCOMPARE(window.Session().Settings(), SessionSettings());
            window.Session().SetSettings({true, false, true, "/srv/обработано"});
        }
        QVERIFY(QFileInfo::exists(settings.filePath("Kestrel.ini")));
        TestWindow window(settings.path());
        QCOMPARE(window.Session().Settings(), (SessionSettings{true, false, true, "/srv/обработано"}));
    }

    void EntriesReachThePanel()
    {
        struct RecordingPanel : IEntryPanel
        {
            void FillList(const std::vector<TocEntryRef>& entries, bool keepPosition) override
            {
                m_count = entries.size();
                m_keep = keepPosition;
            }
            std::size_t m_count = 0;
            bool m_keep = false;
        } panel;
        TestWindow window;
        WriteDocument(window.Path("a.rla"), kArticles);
        window.m_frame->SetEntryPanel(&panel, nullptr);
        window.Session().OpenFiles({Utf8(window.Path("a.rla"))});
        QVERIFY(panel.m_count > 0);
        QCOMPARE(panel.m_count, window.View().Entries().size());
        QVERIFY(!panel.m_keep);
        window.m_frame->OnCommand(CommandId::UpdateToc);
        QVERIFY(panel.m_keep);
        window.m_frame->SetEntryPanel(nullptr, nullptr);
    }

    // Opening a document in the editor and saving it once writes exactly what the batch tool writes,
    // backup included.
    void FirstSaveWritesWhatTheBatchToolWrites()
    {
        const std::filesystem::path samples = std::filesystem::path(TIRVEL_SOURCE_DIR) / "samples";
        int compared = 0;
        for (const auto& entry : std::filesystem::directory_iterator(samples))
        {
            if (entry.path().extension() != ".rla")
                continue;
            const std::string name = entry.path().filename().string();
            const std::string original = ReadBytes(entry.path().string());
            TestWindow window;
            QDir(window.m_dir.path()).mkdir("editor");
            QDir(window.m_dir.path()).mkdir("tool");
            const std::string inEditor = Utf8(window.Path(QString::fromStdString("editor/" + name)));
            const std::string inTool = Utf8(window.Path(QString::fromStdString("tool/" + name)));
            WriteBytes(inEditor, original);
            WriteBytes(inTool, original);

            window.Session().OpenFiles({inEditor});
            window.m_frame->OnCommand(CommandId::FileSave);
            const DocumentResult tool =
                ProcessOneDocument({inTool, name}, TocToolOptions(), TocToolSetup(), false);

            QVERIFY2(tool.outcome == DocumentOutcome::Processed, name.c_str());
            QVERIFY2(window.m_prompter.m_messages.empty(), name.c_str());
            QVERIFY2(ReadBytes(inEditor) != original, name.c_str());
            QVERIFY2(ReadBytes(inEditor) == ReadBytes(inTool), name.c_str());
            QVERIFY2(ReadBytes(CDocumentFile::BackupPathFor(inEditor)) == original, name.c_str());
            QVERIFY2(ReadBytes(CDocumentFile::BackupPathFor(inTool)) == original, name.c_str());
            ++compared;
        }
        QVERIFY(compared >= 3);
    }
};

QTEST_MAIN(WorkflowTest)
#include "test_workflow.moc"
