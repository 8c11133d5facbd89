// Writes the seed corpora of the fuzz harnesses from the sample documents, dictionaries and engine
// fixtures: make_fuzz_seeds SOURCE_DIR OUTPUT_DIR gives OUTPUT_DIR/<harness>/<seed> files.

#include "FuzzChecks.h"
#include "core/base/CodePage.h"
#include "core/document/Markers.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace
{

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteSeed(const fs::path& folder, const std::string& name, const std::string& bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// An engine fixture (UTF-8 text lines, "@ЗАГ" and the like for marker lines, "%" lines for its
// dictionaries) as the .rla file it stands for.
std::string FixtureAsDocument(const std::string& utf8)
{
    static const std::map<std::string, Marker> markers = {
        {"ЗАГ", Marker::Zag}, {"ЦНТ", Marker::Cnt}, {"ПРВ", Marker::Prv}, {"ЛЕВ", Marker::Lev},
        {"ЛИП", Marker::Lip}, {"НФТ", Marker::Nft}, {"ТАБ", Marker::Tab}, {"ТТТ", Marker::Ttt},
        {"ОГЛ", Marker::Ogl}, {"КОН", Marker::Kon}, {"!!!", Marker::End}};
    std::string file = Cp1251ToCp866(Utf8ToCp1251("$18  Текст документа")) + "\r\n";
    for (const std::string& line : fuzzchecks::SplitAtNewlines(utf8))
    {
        if (line.starts_with("%"))
            continue;
        std::string memory = Utf8ToCp1251(line);
        if (line.starts_with("@") && markers.count(line.substr(1)))
            memory = MarkerLine(markers.at(line.substr(1)));
        file += Cp1251ToCp866(memory) + "\r\n";
    }
    return file;
}

std::vector<std::string> Utf8Lines(const fs::path& path)
{
    std::vector<std::string> lines;
    for (const std::string& line : fuzzchecks::SplitAtNewlines(ReadFile(path)))
        if (!line.empty())
            lines.push_back(Utf8ToCp1251(line));
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: make_fuzz_seeds SOURCE_DIR OUTPUT_DIR\n";
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path output = argv[2];
    const fs::path samples = source / "samples";

    std::map<std::string, std::string> documents;
    for (const auto& entry : fs::directory_iterator(samples))
        if (entry.path().extension() == ".rla")
            documents[entry.path().stem().string()] = ReadFile(entry.path());
    for (const auto& entry : fs::directory_iterator(source / "tests/data/engine"))
        if (entry.path().string().ends_with(".in.txt"))
            documents[entry.path().filename().string()] = FixtureAsDocument(ReadFile(entry.path()));

    int command = 0;
    for (const auto& [name, bytes] : documents)
    {
        WriteSeed(output / "document", name, bytes);
        fuzzchecks::RecordingReporter reporter;
        fuzzchecks::MemoryFile file(bytes);
        CDocumentFile document(reporter);
        document.Load(file.Path());
        const ProcessResult processed =
            ProcessDocument(document.TextLines(), fuzzchecks::Words(), fuzzchecks::Kinds(), reporter);
        const std::string prefix{'\xFF', static_cast<char>(command++ % 5), '\x05', '\x00'};
        WriteSeed(output / "entries", name, prefix + fuzzchecks::JoinWithNewlines(processed.lines));
        int count = 0;
        for (const TocEntryRef& entry : BuildEntryList(processed.lines, CContentFilter()))
            if (count++ < 40)
                WriteSeed(output / "case", name + "-" + std::to_string(count), entry.text);
    }

    WriteSeed(output / "kinds_import", "kinds-866", '\0' + ReadFile(samples / "kinds-866.txt"));
    WriteSeed(output / "kinds_import", "kinds-1251", '\1' + Utf8ToCp1251(ReadFile(samples / "kinds.txt")));

    fuzzchecks::RecordingReporter reporter;
    WorkflowSettings settings;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    WriteSeed(output / "settings", "defaults", SettingsBytes(settings, words, kinds));
    for (const std::string& word : Utf8Lines(samples / "words.txt"))
        words.AddWord(word, reporter);
    for (const std::string& kind : Utf8Lines(samples / "kinds.txt"))
        kinds.AddKind(kind, reporter);
    settings = {1, 0, 1, Utf8ToCp1251("/home/оператор/обработано")};
    WriteSeed(output / "settings", "samples", SettingsBytes(settings, words, kinds));
    settings.processedFolder.assign(300, 'x');
    WriteSeed(output / "settings", "long-folder", SettingsBytes(settings, words, kinds));
    return 0;
}
