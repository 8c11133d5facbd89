// The editor given what no operator should give it: files that are no documents, damaged and
// enormous documents, the inputs that once broke the core, folders and settings that fail under it.
// It shows its messages, stays usable and keeps every byte of the documents on disk. (A save into a
// folder that became read-only is a test of the document session in the core.)

#include "GuiTestSupport.h"

#include "support/ReliabilitySupport.h"

#include "core/base/CodePage.h"
#include "core/document/CDocumentFile.h"
#include "core/document/Markers.h"
#include "core/workflow/SettingsFile.h"
#include "gui/app/CKestrelView.h"

#include <QtTest>

#include <sys/stat.h>

#include <filesystem>
#include <random>

namespace
{

std::string FileLine(const std::string& utf8)
{
    std::string line = Cp1251ToCp866(Utf8ToCp1251(utf8));
    CodesToBoxChars(line);
    return line + "\r\n";
}

std::string MarkerFileLine(Marker marker)
{
    std::string line = Cp1251ToCp866(MarkerLine(marker));
    return line + "\r\n";
}

std::string Utf8Path(const QString& path)
{
    return path.toStdString();
}

// The documents that must open: each is loaded, processed and shown, whatever its bytes.
std::vector<std::pair<std::string, std::string>> HostileDocuments()
{
    std::vector<std::pair<std::string, std::string>> documents;
    const std::filesystem::path regressions =
        std::filesystem::path(TIRVEL_SOURCE_DIR) / "fuzz/regressions/document";
    for (const auto& entry : std::filesystem::directory_iterator(regressions))
        documents.emplace_back("regression-" + entry.path().filename().string(),
                               ReadBytes(entry.path().string()));

    std::mt19937 random(7);
    std::string noise(64 * 1024, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random());
    documents.emplace_back("binary", noise);

    std::string markers = FileLine("$18  Текст документа");
    for (int i = 0; i < 2000; ++i)
        for (Marker marker : {Marker::Zag, Marker::Ogl, Marker::Cnt, Marker::Kon, Marker::End, Marker::Prv})
            markers += MarkerFileLine(marker);
    documents.emplace_back("markers", markers);

    std::string longLine;
    while (longLine.size() < 2'000'000)
        longLine += "СТАТЬЯ 1. ПОЛОЖЕНИЯ ";
    documents.emplace_back("long-line", FileLine("$18  Текст документа") + FileLine(longLine));
    return documents;
}

} // namespace

class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void HostileDocumentsOpenAndSaveWithoutLoss()
    {
        for (const auto& [name, bytes] : HostileDocuments())
        {
            TestWindow window;
            const QString path = window.Path(QString::fromStdString(name + ".rla"));
            WriteBytes(Utf8Path(path), bytes);
            CKestrelView& view = window.View();
            CDocumentSession& session = window.Session();

            session.OpenDocument(Utf8Path(path));
            QVERIFY2(!session.IsBusy(), name.c_str());
            QCOMPARE(session.CurrentPath(), Utf8Path(path));
            for (const auto& message : window.m_prompter.m_messages)
                QVERIFY2(message.text.rfind("Ошибка", 0) != 0, (name + ": " + message.text).c_str());

            session.SaveDocument();
            QCOMPARE(ReadBytes(Utf8Path(window.Path(QString::fromStdString(name + ".bak")))), bytes);
            CDocumentFile saved(window.m_prompter);
            saved.Load(Utf8Path(path));
            CTextLines shown = view.GetLines();
            if (!shown.empty() && shown.back().empty())
                shown.Erase(shown.size() - 1);
            QVERIFY2(saved.TextLines() == shown, name.c_str());
        }
    }

    void FilesThatAreNoDocumentsAreReportedByName()
    {
        TestWindow window;
        const std::string folder = Utf8Path(window.Path("folder.rla"));
        std::filesystem::create_directory(folder);
        const std::string locked = Utf8Path(window.Path("locked.rla"));
        WriteBytes(locked, FileLine("$18  Текст документа"));
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        const std::string huge = Utf8Path(window.Path("huge.rla"));
        WriteBytes(huge, "");
        std::filesystem::resize_file(huge, kMaxDocumentBytes + 1);
        const std::string pipe = Utf8Path(window.Path("pipe.rla"));
        ::mkfifo(pipe.c_str(), 0600);
        const std::string missing = Utf8Path(window.Path("missing.rla"));

        CKestrelView& view = window.View();
        CDocumentSession& session = window.Session();
        for (const std::string& path : {folder, locked, huge, pipe, missing})
        {
            window.m_prompter.m_messages.clear();
            {
                HangGuard guard(60);
                PermissionsEnforced asOperator;
                session.OpenDocument(path);
            }
            QCOMPARE(window.m_prompter.m_messages,
                     (std::vector<CScriptedPrompter::Message>{
                         {"Ошибка открытия файла " + path, MessageIcon::Error}}));
            QVERIFY(!session.IsBusy());
            QVERIFY(session.CurrentPath().empty());
        }

        // The editor goes on with a real document.
        const QString good = window.Path("good.rla");
        WriteBytes(Utf8Path(good), ReadBytes(SamplePath("law_sections_articles.rla")));
        window.m_prompter.m_messages.clear();
        session.OpenDocument(Utf8Path(good));
        QVERIFY(window.m_prompter.m_messages.empty());
        QVERIFY(view.Entries().size() > 1);
    }

    void SettingsFileThatIsAFolderGivesDefaultsAndAMessageAtTheEnd()
    {
        QTemporaryDir settings;
        QDir().mkpath(settings.filePath(QString::fromLatin1(kSettingsFileName)) + "/inside");
        {
            TestWindow window(settings.path());
            QCOMPARE(window.Session().Settings(), SessionSettings());
            window.m_frame.reset(); // the settings are written as the view goes
            QCOMPARE(window.m_prompter.m_messages,
                     (std::vector<CScriptedPrompter::Message>{
                         {"Ошибка сохранения служебных данных", MessageIcon::Error}}));
        }
        QVERIFY(QFileInfo(settings.filePath(QString::fromLatin1(kSettingsFileName)) + "/inside").isDir());
    }
};

QTEST_MAIN(HostileInputTest)
#include "test_hostile.moc"
