// tirvel-bench-corpus [--shape law|decree]... [--size SIZE]... [--count N] [--seed N] DIR
// Writes generated documents into DIR as <shape>-<size>-<n>.rla: every shape in every size, count
// documents of each (different texts of the same shape). The same arguments give the same files.

#include "DocumentGenerator.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> shapeNames;
    std::vector<std::string> sizeTexts;
    int count = 1;
    std::uint32_t seed = 1;
    std::string dir;

    CLI::App app{"Writes generated .rla documents for the benchmarks.", "tirvel-bench-corpus"};
    app.add_option("--shape", shapeNames, "law, decree or headings (default: law and decree)")
        ->check(CLI::IsMember({"law", "decree", "headings"}));
    app.add_option("--size", sizeTexts, "Size of each document: 20K, 5M, 50M ... (default: 20K 1M 5M)")
        ->check([](const std::string& text) { return ParseByteSize(text) ? "" : "not a size: " + text; });
    app.add_option("--count", count, "Documents of each shape and size")->check(CLI::PositiveNumber);
    app.add_option("--seed", seed, "First seed; document n of a kind uses seed + n");
    app.add_option("DIR", dir, "Folder to write into (created when missing)")->required();
    CLI11_PARSE(app, argc, argv);

    if (shapeNames.empty())
        shapeNames = {"law", "decree"};
    if (sizeTexts.empty())
        sizeTexts = {"20K", "1M", "5M"};

    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error)
    {
        std::cerr << "tirvel-bench-corpus: " << dir << ": " << error.message() << '\n';
        return 1;
    }
    for (const std::string& shapeName : shapeNames)
        for (const std::string& sizeText : sizeTexts)
        {
            const std::size_t size = *ParseByteSize(sizeText);
            for (int n = 0; n < count; ++n)
            {
                const std::string bytes = GenerateDocument(*ShapeFromName(shapeName), size, seed + n);
                const std::filesystem::path path =
                    std::filesystem::path(dir) /
                    (shapeName + "-" + FormatByteSize(size) + "-" + std::to_string(n + 1) + ".rla");
                std::ofstream file(path, std::ios::binary | std::ios::trunc);
                file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                file.close();
                if (!file)
                {
                    std::cerr << "tirvel-bench-corpus: " << path.string() << ": cannot write\n";
                    return 1;
                }
            }
        }
    return 0;
}
