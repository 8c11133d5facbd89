// Benchmarks of the headless road of a document: load, recognition (Build, and BuildExtended with the
// extended recognition on), the remarks on the result of BuildExtended, entry layout, the encoding and
// the save, each alone, and the three together as the batch tool runs them. With TIRVEL_BENCH_CORPUS
// naming a folder of .rla documents, BuildExtended/corpus and Remarks/corpus run over all of them.
// Names are <step>/<shape>/<size>. bytes_per_second counts the document's file bytes; items_per_second
// counts text lines for load, encode and save, and table-of-contents entries for the others.
// Steps that write to disk are timed by the wall clock (the sync of the saved file is part of their
// cost); the others by the CPU time of the process.
// heap_peak is the most heap the step held at once beyond what was held before it began, as a multiple
// of the document's file size (the sample's own copy of the lines is not counted).

#include "DocumentGenerator.h"
#include "HeapCounter.h"

#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/remarks/Remarks.h"
#include "core/toc/CTocRecognizer.h"
#include "core/toc/ProcessDocument.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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
    CTextLines textLines;
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

    CTextLines lines = sample->textLines;
    CTocRecognizer recognizer(&Words(), Kinds(), reporter);
    recognizer.Build(lines);
    sample->items = recognizer.Items();
    sample->entries = recognizer.WrittenBlocks();
    return *sample;
}

// The most heap one run of a step held beyond what was held when it began; each step's loop starts
// with `HeapPeak peak;` and calls peak.Next() at the start of each iteration.
class HeapPeak
{
public:
    HeapPeak() { Start(); }
    void Next()
    {
        Take();
        Start();
    }
    std::size_t Most()
    {
        Take();
        return m_most;
    }

private:
    void Start()
    {
        m_base = HeapHeld();
        ResetHeapPeak();
    }
    void Take()
    {
        const std::size_t peak = HeapMostHeld();
        if (peak > m_base)
            m_most = std::max(m_most, peak - m_base);
    }
    std::size_t m_base = 0;
    std::size_t m_most = 0;
};

void Counters(benchmark::State& state, const Sample& sample, std::size_t items, HeapPeak& peak)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * items));
    state.counters["entries"] = static_cast<double>(sample.entries);
    state.counters["heap_peak"] = static_cast<double>(peak.Most()) / static_cast<double>(sample.bytes);
}

void Load(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        CDocumentFile document(reporter);
        document.Load(sample.path);
        benchmark::DoNotOptimize(document.TextLines().size());
    }
    Counters(state, sample, sample.textLines.size(), peak);
}

void Build(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        ProcessResult result = ProcessDocument(sample.textLines, Words(), Kinds(), reporter);
        benchmark::DoNotOptimize(result.lines.data());
    }
    Counters(state, sample, sample.entries, peak);
}

// Build with the extended recognition on: beside Build, the cost of the extended passes alone.
void BuildExtended(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    std::size_t entries = 0;
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        ProcessResult result =
            ProcessDocument(sample.textLines, Words(), Kinds(), reporter, {}, RecognitionOptions{true});
        entries = result.entries;
        benchmark::DoNotOptimize(result.lines.data());
    }
    Counters(state, sample, entries, peak);
}

// The remarks on the table of contents that BuildExtended writes: their cost beside BuildExtended's.
void Remarks(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    const ProcessResult processed =
        ProcessDocument(sample.textLines, Words(), Kinds(), reporter, {}, RecognitionOptions{true});
    std::size_t remarks = 0;
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        const std::vector<Remark> found = FindRemarks(processed.lines);
        remarks = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    Counters(state, sample, processed.entries, peak);
    state.counters["remarks"] = static_cast<double>(remarks);
}

// The documents of a folder of real documents (TIRVEL_BENCH_CORPUS names it), loaded once: their text,
// and the text the extended recognition makes of it.
struct Corpus
{
    std::vector<CTextLines> texts;
    std::vector<CTextLines> processed;
    std::size_t bytes = 0;
    std::size_t entries = 0;
};

const Corpus& CorpusOf(const fs::path& folder)
{
    static const Corpus corpus = [&folder]
    {
        Corpus loaded;
        std::vector<fs::path> paths;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".rla")
                paths.push_back(entry.path());
        std::sort(paths.begin(), paths.end());
        SilentReporter reporter;
        for (const fs::path& path : paths)
        {
            CDocumentFile document(reporter);
            document.Load(path.string());
            loaded.bytes += fs::file_size(path);
            loaded.texts.push_back(document.TextLines());
            ProcessResult result = ProcessDocument(document.TextLines(), Words(), Kinds(), reporter, {},
                                                   RecognitionOptions{true});
            loaded.entries += result.entries;
            loaded.processed.push_back(std::move(result.lines));
        }
        return loaded;
    }();
    return corpus;
}

void CorpusCounters(benchmark::State& state, const Corpus& corpus)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.bytes));
    state.counters["documents"] = static_cast<double>(corpus.texts.size());
    state.counters["entries"] = static_cast<double>(corpus.entries);
}

// The extended recognition of every document of the corpus.
void BuildExtendedCorpus(benchmark::State& state, const fs::path& folder)
{
    const Corpus& corpus = CorpusOf(folder);
    SilentReporter reporter;
    for (auto _ : state)
        for (const CTextLines& text : corpus.texts)
        {
            ProcessResult result = ProcessDocument(text, Words(), Kinds(), reporter, {}, RecognitionOptions{true});
            benchmark::DoNotOptimize(result.lines.data());
        }
    CorpusCounters(state, corpus);
}

// The remarks on the tables of contents BuildExtendedCorpus writes: their cost beside its cost.
void RemarksCorpus(benchmark::State& state, const fs::path& folder)
{
    const Corpus& corpus = CorpusOf(folder);
    std::size_t remarks = 0;
    for (auto _ : state)
    {
        remarks = 0;
        for (const CTextLines& lines : corpus.processed)
        {
            const std::vector<Remark> found = FindRemarks(lines);
            remarks += found.size();
            benchmark::DoNotOptimize(found.data());
        }
    }
    CorpusCounters(state, corpus);
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
    HeapPeak peak;
    for (auto _ : state)
    {
        state.PauseTiming();
        list.SetItems(unlaid);
        state.ResumeTiming();
        peak.Next();
        list.LayoutEntries();
        benchmark::DoNotOptimize(list.Items().data());
    }
    Counters(state, sample, sample.items.size(), peak);
}

// The file form of the text without writing it: the code page conversion and line ends.
void Encode(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    CDocumentFile document(reporter);
    document.SetHeaderLines(sample.headerLines);
    document.SetTextLines(sample.textLines);
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        benchmark::DoNotOptimize(document.FileBytes());
    }
    Counters(state, sample, sample.textLines.size(), peak);
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
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        if (!document.SaveTo(path, BackupRule::None))
            state.SkipWithError("save failed");
    }
    Counters(state, sample, sample.textLines.size(), peak);
}

void EndToEnd(benchmark::State& state, DocumentShape shape, std::size_t size)
{
    const Sample& sample = SampleOf(shape, size);
    SilentReporter reporter;
    const std::string output = (WorkDir() / "processed.rla").string();
    HeapPeak peak;
    for (auto _ : state)
    {
        peak.Next();
        CDocumentFile document(reporter);
        document.Load(sample.path);
        ProcessResult result = ProcessDocument(document.TextLines(), Words(), Kinds(), reporter);
        document.SetTextLines(std::move(result.lines));
        if (!document.SaveTo(output, BackupRule::None))
            state.SkipWithError("save failed");
    }
    Counters(state, sample, sample.entries, peak);
}
} // namespace

int main(int argc, char** argv)
{
    using Step = void (*)(benchmark::State&, DocumentShape, std::size_t);
    // The text of headings alone is the worst case of what the recognition holds per heading; it is
    // run through the steps whose cost grows with the headings.
    struct
    {
        const char* name;
        Step step;
        bool writes;
        bool headings;
    } const steps[] = {{"Load", Load, false, true},          {"Build", Build, false, true},
                       {"BuildExtended", BuildExtended, false, true}, {"Remarks", Remarks, false, false},
                       {"Layout", Layout, false, false},      {"Encode", Encode, false, false},
                       {"Save", Save, true, false},           {"EndToEnd", EndToEnd, true, true}};
    const std::size_t sizes[] = {20 << 10, 1 << 20, 5 << 20, 50 << 20};
    for (const auto& [name, step, writes, headings] : steps)
        for (DocumentShape shape : {DocumentShape::Law, DocumentShape::Decree, DocumentShape::Headings})
            for (std::size_t size : sizes)
            {
                if (shape == DocumentShape::Headings && !headings)
                    continue;
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

    // Real documents, when a folder of them is named: beside BuildExtended, the cost of the remarks.
    if (const char* folder = std::getenv("TIRVEL_BENCH_CORPUS"); folder && fs::is_directory(folder))
    {
        benchmark::RegisterBenchmark("BuildExtended/corpus", BuildExtendedCorpus, fs::path(folder))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("Remarks/corpus", RemarksCorpus, fs::path(folder))->Unit(benchmark::kMillisecond);
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
