// Benchmarks of the editor, offscreen: the text conversion between the editor and the line list, filling
// the entry panel, opening a document as the operator does (load, recognise, show, fill the panel) with
// the longest stretch in which no events were served, resizing the window with a long text open, and the
// panel's commands on every entry of a large table of contents.

#include "DocumentGenerator.h"

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/entries/CContentFilter.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/CDocumentSession.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CMainFrame.h"
#include "core/base/ProcessMemory.h"
#include "gui/panel/CTocPanel.h"
#include "support/CScriptedPrompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
class SilentReporter : public IReporter
{
public:
    void Report(std::string_view, MessageIcon) override {}
};

QTemporaryDir& WorkDir()
{
    static QTemporaryDir dir;
    return dir;
}

std::string WriteDocument(DocumentShape shape, std::size_t size, const std::string& suffix = "")
{
    const std::string path = WorkDir()
                                 .filePath(QString::fromStdString(std::string(ShapeName(shape)) + "-" +
                                                                  FormatByteSize(size) + suffix + ".rla"))
                                 .toStdString();
    const std::string bytes = GenerateDocument(shape, size);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The text of a law, processed, so that it carries its table-of-contents blocks.
CTextLines ProcessedLaw(std::size_t size)
{
    SilentReporter reporter;
    CDocumentFile document(reporter);
    document.Load(WriteDocument(DocumentShape::Law, size));
    return ProcessDocument(document.TextLines(), CUpperCaseWordsDict(), CDocKindsList(), reporter).lines;
}

// The lines of a processed law cut to count lines.
const CTextLines& EditorLines(std::size_t count)
{
    static CTextLines lines;
    if (lines.size() != count)
    {
        lines = ProcessedLaw(12 << 20);
        if (lines.size() > count)
            lines.Erase(count, lines.size() - count);
    }
    return lines;
}

struct Editor
{
    CScriptedPrompter prompter;
    std::unique_ptr<CMainFrame> frame;
    CTocPanel* panel = nullptr;

    Editor()
    {
        frame = std::make_unique<CMainFrame>(prompter, nullptr, WorkDir().path());
        frame->show();
        panel = frame->findChild<CTocPanel*>();
    }
    CKestrelView& View() { return *frame->View(); }
};

void SetLines(benchmark::State& state)
{
    Editor editor;
    const CTextLines& lines = EditorLines(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        editor.View().SetLines(lines);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}

void GetLines(benchmark::State& state)
{
    Editor editor;
    const CTextLines& lines = EditorLines(static_cast<std::size_t>(state.range(0)));
    editor.View().SetLines(lines);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.View().GetLines());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}

void FillPanel(benchmark::State& state)
{
    Editor editor;
    std::vector<TocEntryRef> entries = BuildEntryList(ProcessedLaw(12 << 20), CContentFilter());
    entries.resize(std::min(entries.size(), static_cast<std::size_t>(state.range(0))));
    for (auto _ : state)
    {
        editor.panel->FillList(entries, false);
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * entries.size()));
}

// Two copies of a law, opened in turn: the file that is open already is not opened again.
std::array<std::string, 2> TwoDocuments(std::size_t size)
{
    return {WriteDocument(DocumentShape::Law, size, "-a"), WriteDocument(DocumentShape::Law, size, "-b")};
}

// Open as the operator opens: load, recognise, put the text into the editor, fill the panel.
void OpenDocument(benchmark::State& state)
{
    Editor editor;
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const std::array<std::string, 2> paths = TwoDocuments(size);
    std::size_t next = 0;
    for (auto _ : state)
    {
        editor.prompter.Answer({PromptAnswer::No}); // do not save the previous one
        editor.frame->Session().OpenDocument(paths[next++ % 2]);
        QCoreApplication::processEvents();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["entries"] = static_cast<double>(editor.panel->List()->model()->rowCount());
}

// The process's peak resident memory is counted from now on (Linux; elsewhere nothing happens).
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The process's peak resident memory in MB since the last reset, 0 where the system does not tell.
double PeakMemoryMb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

// Opening while the window stays alive: a timer due at every turn of the event loop stamps each time
// events are served; the longest gap between stamps (from the start of the open to its end) is the
// longest the window went without answering. The peak memory is the highest resident memory while
// one document opened, the process's memory before it included.
void OpenDocumentAlive(benchmark::State& state)
{
    Editor editor;
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const std::array<std::string, 2> paths = TwoDocuments(size);
    std::size_t next = 0;
    double longestGap = 0;
    double peakMemory = 0;
    for (auto _ : state)
    {
        editor.prompter.Answer({PromptAnswer::No});
        ResetPeakMemory();
        QElapsedTimer clock;
        qint64 lastStamp = 0;
        qint64 gap = 0;
        QTimer served;
        served.setInterval(0);
        QObject::connect(&served, &QTimer::timeout,
                         [&]
                         {
                             gap = std::max(gap, clock.elapsed() - lastStamp);
                             lastStamp = clock.elapsed();
                         });
        served.start();
        clock.start();
        editor.frame->Session().OpenDocument(paths[next++ % 2]);
        gap = std::max(gap, clock.elapsed() - lastStamp);
        served.stop();
        longestGap = std::max(longestGap, static_cast<double>(gap));
        state.SetIterationTime(static_cast<double>(clock.elapsed()) / 1000);
        QCoreApplication::processEvents();
        peakMemory = std::max(peakMemory, PeakMemoryMb());
    }
    state.counters["longest_gap_ms"] = longestGap;
    state.counters["peak_memory_mb"] = peakMemory;
    state.counters["entries"] = static_cast<double>(editor.panel->List()->model()->rowCount());
}

// The heap in use in MB, 0 where the C library does not tell.
double HeapInUseMb()
{
#if defined(__GLIBC__)
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<double>(heap.uordblks + heap.hblkhd) / (1 << 20);
#else
    return 0;
#endif
}

// The window made wider and narrower again, in turn, with a long text in the editor: the time, and the
// heap that the resizing kept (a view whose width changes must not lay out every line again).
void ResizeWindow(benchmark::State& state)
{
    Editor editor;
    editor.View().SetLines(EditorLines(static_cast<std::size_t>(state.range(0))));
    QCoreApplication::processEvents();
    const double before = HeapInUseMb();
    int step = 40;
    for (auto _ : state)
    {
        editor.frame->resize(editor.frame->width() + step, editor.frame->height());
        QCoreApplication::processEvents();
        step = -step;
    }
    state.counters["kept_mb"] = HeapInUseMb() - before;
}

// One panel command on every entry of a text with state.range(0) entries, all marked; with
// typedFirst the operator has typed into the text since it was opened, so the command reads it.
void PanelCommandOn(benchmark::State& state, int command, bool typedFirst)
{
    Editor editor;
    const std::size_t wanted = static_cast<std::size_t>(state.range(0));
    // About 1.45 entries per kilobyte in the generated laws; the text is cut after the wanted entry.
    CTextLines lines = ProcessedLaw(wanted * 1024 * 10 / 14);
    const std::vector<TocEntryRef> entries = BuildEntryList(lines, CContentFilter());
    if (entries.size() > wanted)
        lines.Erase(entries[wanted].oglLine, lines.size() - entries[wanted].oglLine);
    for (auto _ : state)
    {
        state.PauseTiming();
        editor.View().SetLines(lines);
        editor.View().RefreshEntries(false);
        editor.panel->MarkAll();
        editor.prompter.Answer({PromptAnswer::Yes});
        if (typedFirst)
        {
            editor.View().moveCursor(QTextCursor::End);
            editor.View().insertPlainText(QStringLiteral(" "));
        }
        QCoreApplication::processEvents();
        state.ResumeTiming();
        editor.panel->RunButton(command);
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = static_cast<double>(std::min(entries.size(), wanted));
}

void PanelCommand(benchmark::State& state, int command)
{
    PanelCommandOn(state, command, false);
}

void PanelCommandAfterTyping(benchmark::State& state, int command)
{
    PanelCommandOn(state, command, true);
}
} // namespace

int main(int argc, char** argv)
{
    // The memory the editor's own process works with.
    KeepLargeBlocksMapped();
    // Offscreen, and with the profile and settings kept out of the user's home.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    QApplication app(argc, argv);

    benchmark::RegisterBenchmark("SetLines", SetLines)->Arg(200000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GetLines", GetLines)->Arg(200000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FillPanel", FillPanel)->Arg(10000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenDocument", OpenDocument)
        ->Arg(5 << 20)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("OpenDocumentAlive", OpenDocumentAlive)
        ->Arg(5 << 20)
        ->Arg(20 << 20)
        ->Arg(60 << 20)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("ResizeWindow", ResizeWindow)
        ->Arg(300000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(4);
    const std::pair<const char*, int> commands[] = {
        {"LevelDown", CTocPanel::kLevelDown},   {"LevelUp", CTocPanel::kLevelUp},
        {"ToCapitals", CTocPanel::kToCapitals}, {"ToSentenceCase", CTocPanel::kToSentenceCase},
        {"Delete", CTocPanel::kDelete},         {"Refresh", CTocPanel::kRefresh},
        {"MarkAll", CTocPanel::kMarkAll},
    };
    for (const auto& [name, command] : commands)
        benchmark::RegisterBenchmark((std::string("PanelCommand/") + name).c_str(), PanelCommand, command)
            ->Arg(5000)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);

    for (const auto& [name, command] : {commands[0], commands[5]})
        benchmark::RegisterBenchmark((std::string("PanelCommandAfterTyping/") + name).c_str(),
                                     PanelCommandAfterTyping, command)
            ->Arg(5000)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
