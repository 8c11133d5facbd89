// A document that cannot be opened: the editor's message box shows its own first line and, below it,
// exactly what tirvel-toc prints for the same file after its name.

#include "cli/TocTool.h"
#include "core/workflow/CDocumentSession.h"
#include "core/workflow/IDocumentEditor.h"
#include "core/workflow/IProcessingMonitor.h"
#include "core/workflow/ITrash.h"
#include "gui/common/CMessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace
{
struct NoEditor : IDocumentEditor
{
    CTextLines GetLines() const override { return {}; }
    void SetLines(const CTextLines&, const std::function<void()>&) override {}
    void ClearText() override {}
};

struct NoTrash : ITrash
{
    bool MoveToTrash(const std::string&) override { return false; }
};

struct NoMonitor : IProcessingMonitor
{
    void ProcessingStarted() override {}
    void PumpMessages() override {}
    void ProcessingEnded() override {}
};

// The text of the message box the session shows on opening path, closed once read.
QString BoxShownOnOpening(const std::string& path)
{
    QString shown;
    QTimer::singleShot(0,
                       [&shown]
                       {
                           if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                           {
                               shown = box->text();
                               box->accept();
                           }
                       });
    CMessageBoxPrompter prompter;
    NoEditor editor;
    NoTrash trash;
    NoMonitor monitor;
    CDocumentSession session(editor, prompter, trash, monitor,
                             [](const CTextLines& lines, IReporter&,
                                const std::function<void()>&, const RecognitionOptions&) {
                                 return ProcessResult{lines, false, 0};
                             });
    session.OpenFiles({path});
    return shown;
}
} // namespace

class FailureWordsTest : public QObject
{
    Q_OBJECT

private slots:
    void TheBoxShowsTheToolsWords()
    {
        QTemporaryDir folder;
        const std::string pipe = folder.filePath(QStringLiteral("pipe.rla")).toStdString();
        QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
        // A run that only checks takes no lock beside the file: the words are those of any run.
        TocToolOptions checking;
        checking.check = true;
        for (const std::string& path : {folder.filePath(QStringLiteral("missing.rla")).toStdString(), pipe})
        {
            const DocumentResult tool = ProcessOneDocument({path, "x.rla"}, checking, TocToolSetup(), false);
            QCOMPARE(tool.messages.size(), std::size_t{1});
            const std::string prefix = "tirvel-toc: ";
            QVERIFY(tool.messages[0].starts_with(prefix));
            QCOMPARE(BoxShownOnOpening(path), QString::fromStdString("Ошибка открытия файла " + path + "\n" +
                                                                     tool.messages[0].substr(prefix.size())));
        }
    }
};

QTEST_MAIN(FailureWordsTest)
#include "test_failure_words.moc"
