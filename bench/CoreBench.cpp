// Benchmarks of the headless road of a document: load, recognition (Build, and BuildExtended with the
// extended recognition on), the remarks on the result of BuildExtended, entry layout, the encoding and
// the save, each alone, and the three together as the batch tool runs them.
// Names are <step>/<shape>/<size>. bytes_per_second counts the document's file bytes; items_per_second
// counts text lines for load, encode and save, and table-of-contents entries for the others.
// Steps that write to disk are timed by the wall clock (the sync of the saved file is part of their
// cost); the others by the CPU time of the process.

#include "DocumentGenerator.h"

#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/remarks/Remarks.h"
#include "core/toc/CTocRecognizer.h"
#include "core/toc/ProcessDocument.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace
{
class SilentReporter : public IReporter
{
public:
    void Report(std::string_view, MessageIcon) override {}
};

// Where the documents and the saved copies go for one run of the benchmarks.
const fs::path& WorkDir()
{
    static const fs::path dir = []
    {
        fs::path path = fs::temp_directory_path() / ("tirvel-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return dir;
}

// One generated document, made once and shared by every benchmark of its shape and size.
struct Sample
{
    std::string path;
    std::size_t bytes = 0;
    std::vector<std::string> headerLines;
    std::vector<std::string> textLines;
    std::vector<TocItem> items; // Build's items, laid out
    std::size_t entries = 0;
};

const CUpperCaseWordsDict& Words()
{
    static const CUpperCaseWordsDict words;
    return words;
}

const CDocKindsList& Kinds()
{
    static const CDocKindsList kinds;
    return kinds;
}

const Sample& SampleOf(DocumentShape shape, std::size_t size)
{
    static std::map<std::pair<DocumentShape, std::size_t>, std::unique_ptr<Sample>> samples;
    std::unique_ptr<Sample>& sample = samples[{shape, size}];
    if (sample)
        return *sample;
    sample = std::make_unique<Sample>();
    const std::string bytes = GenerateDocument(shape, size);
    sample->path =
        (WorkDir() / (std::string(ShapeName(shape)) + "-" + FormatByteSize(size) + ".rla")).string();
    std::ofstream(sample->path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    sample->bytes = bytes.size();

    SilentReporter reporter;
    CDocumentFile document(reporter);
    document.Load(sample->path);
    sample->headerLines = document.HeaderLines();
    sample->textLines = document.TextLines();

    std::vector<std::string> lines = sample->textLines;
    CTocRecognizer recognizer(&Words(), Kinds(), reporter);
    recognizer.Build(lines);
    sample->items = recognizer.Items();
    sample->entries = recognizer.WrittenBlocks();
    return *sample;
}

void Counters(benchmark::State& state, const Sample& sample, std::size_t items)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * items));
    state.counters["entries"] = static_cast<double>(sample.entries);
}

void Load(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    for (auto _ : state)
    {
        CDocumentFile document(reporter);
        document.Load(sample.path);
        benchmark::DoNotOptimize(document.TextLines().data());
    }
    Counters(state, sample, sample.textLines.size());
}

void Build(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    for (auto _ : state)
    {
        ProcessResult result = ProcessDocument(sample.textLines, Words(), Kinds(), reporter);
        benchmark::DoNotOptimize(result.lines.data());
    }
    Counters(state, sample, sample.entries);
}

// Build with the extended recognition on: beside Build, the cost of the extended passes alone.
void BuildExtended(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    std::size_t entries = 0;
    for (auto _ : state)
    {
        ProcessResult result =
            ProcessDocument(sample.textLines, Words(), Kinds(), reporter, {}, RecognitionOptions{true});
        entries = result.entries;
        benchmark::DoNotOptimize(result.lines.data());
    }
    Counters(state, sample, entries);
}

// The remarks on the table of contents that BuildExtended writes: their cost beside BuildExtended's.
void Remarks(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    const ProcessResult processed =
        ProcessDocument(sample.textLines, Words(), Kinds(), reporter, {}, RecognitionOptions{true});
    std::size_t remarks = 0;
    for (auto _ : state)
    {
        const std::vector<Remark> found = FindRemarks(processed.lines);
        remarks = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    Counters(state, sample, processed.entries);
    state.counters["remarks"] = static_cast<double>(remarks);
}

// Re-lays every entry of the document; each entry loses its level line first, as the layout requires
// of an entry laid out before.
void Layout(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    std::vector<TocItem> unlaid = sample.items;
    for (TocItem& item : unlaid)
        if (!item.lines.empty())
            item.lines.erase(item.lines.begin());
    CTocItemList list(&Words());
    for (auto _ : state)
    {
        state.PauseTiming();
        list.SetItems(unlaid);
        state.ResumeTiming();
        list.LayoutEntries();
        benchmark::DoNotOptimize(list.Items().data());
    }
    Counters(state, sample, sample.items.size());
}

// The file form of the text without writing it: the code page conversion and line ends.
void Encode(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    CDocumentFile document(reporter);
    document.SetHeaderLines(sample.headerLines);
    document.SetTextLines(sample.textLines);
    for (auto _ : state)
        benchmark::DoNotOptimize(document.FileBytes());
    Counters(state, sample, sample.textLines.size());
}

// Save as the tool saves: a temporary file synced to disk and renamed over the document.
void Save(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    CDocumentFile document(reporter);
    document.SetHeaderLines(sample.headerLines);
    document.SetTextLines(sample.textLines);
    document.KeepDates();
    const std::string path = (WorkDir() / "saved.rla").string();
    for (auto _ : state)
        if (!document.SaveTo(path, BackupRule::None))
            state.SkipWithError("save failed");
    Counters(state, sample, sample.textLines.size());
}

void EndToEnd(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    const std::string output = (WorkDir() / "processed.rla").string();
    for (auto _ : state)
    {
        CDocumentFile document(reporter);
        document.Load(sample.path);
        ProcessResult result = ProcessDocument(document.TextLines(), Words(), Kinds(), reporter);
        document.SetTextLines(std::move(result.lines));
        if (!document.SaveTo(output, BackupRule::None))
            state.SkipWithError("save failed");
    }
    Counters(state, sample, sample.entries);
}
} // namespace

int main(int argc, char** argv)
{
    using Step = void (*)(benchmark::State&, DocumentShape, std::size_t);
    struct
    {
        const char* name;
        Step step;
        bool writes;
    } const steps[] = {
        {"Load", Load, false},       {"Build", Build, false},   {"BuildExtended", BuildExtended, false},
        {"Remarks", Remarks, false}, {"Layout", Layout, false}, {"Encode", Encode, false},
        {"Save", Save, true},        {"EndToEnd", EndToEnd, true}};
    const std::size_t sizes[] = {20 << 10, 1 << 20, 5 << 20, 50 << 20};
    for (const auto& [name, step, writes] : steps)
        for (DocumentShape shape : {DocumentShape::Law, DocumentShape::Decree})
            for (std::size_t size : sizes)
            {
                const std::string title =
                    std::string(name) + "/" + std::string(ShapeName(shape)) + "/" + FormatByteSize(size);
                auto* benchmark = benchmark::RegisterBenchmark(title.c_str(), step, shape, size);
                benchmark->Unit(benchmark::kMillisecond);
                if (writes)
                    benchmark->UseRealTime();
                // The largest documents take seconds each; a few runs are enough to be steady.
                if (size >= (50 << 20))
                    benchmark->Iterations(2);
            }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    fs::remove_all(WorkDir(), error);
    return 0;
}
