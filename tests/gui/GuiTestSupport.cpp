#include "GuiTestSupport.h"

#include "core/base/CodePage.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/toc/ProcessDocument.h"
#include "gui/app/CKestrelView.h"
#include "gui/panel/CFilterDlg.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>

void WriteDocument(const QString& path, const std::vector<std::string>& utf8TextLines)
{
    std::string bytes;
    for (const char* header : {"$100  Дата ввода/изменения", "01.03.2003", "$18  Текст документа"})
        bytes += File866(header) + "\r\n";
    for (std::size_t i = 0; i < utf8TextLines.size(); ++i)
    {
        bytes += File866(utf8TextLines[i]);
        if (i + 1 < utf8TextLines.size())
            bytes += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<std::string> DocumentText(const QString& path)
{
    const QByteArray bytes = ReadBytes(path);
    std::vector<std::string> lines;
    bool inText = false;
    for (QByteArray line : bytes.split('\n'))
    {
        if (line.endsWith('\r'))
            line.chop(1);
        std::string raw = line.toStdString();
        BoxCharsToCodes(raw);
        const std::string utf8 = Cp1251ToUtf8(Cp866ToCp1251(raw));
        if (inText)
            lines.push_back(utf8);
        else if (utf8 == "$18  Текст документа")
            inText = true;
    }
    return lines;
}

TestWindow::TestWindow()
{
    m_frame = std::make_unique<CMainFrame>(m_prompter, nullptr, m_dir.path());
}

TestWindow::TestWindow(const QString& settingsFolder)
{
    m_frame = std::make_unique<CMainFrame>(m_prompter, nullptr, settingsFolder);
}

CKestrelView& TestWindow::View() const
{
    return *m_frame->View();
}

CDocumentSession& TestWindow::Session() const
{
    return m_frame->Session();
}

std::vector<std::string> ProcessedSample()
{
    CScriptedPrompter reporter;
    CDocumentFile document(reporter);
    document.Load(TIRVEL_SOURCE_DIR "/samples/law_sections_articles.rla");
    const ProcessResult result =
        ProcessDocument(document.TextLines(), CUpperCaseWordsDict(), CDocKindsList(), reporter);
    if (result.refused || result.entries < 12)
        qFatal("the sample did not process");
    return result.lines.ToVector();
}

std::vector<std::string> EditorLines(const CKestrelView& view)
{
    return Utf8Lines(view.GetLines().ToVector());
}

void ActOnFilterDialog(std::function<void(CFilterDlg&)> actions)
{
    QTimer::singleShot(0,
                       [actions = std::move(actions)]
                       {
                           auto* dialog = qobject_cast<CFilterDlg*>(QApplication::activeModalWidget());
                           if (!dialog)
                               qFatal("no filter dialog");
                           actions(*dialog);
                       });
}

void ClickButton(QWidget& widget, const char* name)
{
    widget.findChild<QPushButton*>(QLatin1String(name))->click();
}
