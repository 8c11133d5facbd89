// tirvel-toc [--kinds FILE] [--words FILE] [--settings FILE | --no-settings] [--keep-dates] [--extended]
//            [--no-backup] [--stdout | -o DIR | --move-to DIR] [--replace] [--check] [-j N] [-r] [-q]
//            [-v] [--remarks] [--summary] [--report FILE] [--] PATH...
// tirvel-toc [--kinds FILE] [--words FILE] [--settings FILE | --no-settings] [--extended]
//            --dump-items-after STEP FILE        (--dump-items-after list names the steps)
// Exit status: 0 when every document was processed (changed or not) or refused for its table of
// contents, 1 when any could not be read or written, was refused because writing it would destroy a
// file, or was skipped as another run's (or the run was interrupted, or the report could not be
// written), 2 for wrong usage.

#include "cli/BatchRun.h"
#include "cli/ItemDump.h"
#include "cli/ToolOptions.h"
#include "core/base/ProcessMemory.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
std::string ExecutableDir(const char* argv0)
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.parent_path().string();
    return fs::absolute(argv0, error).parent_path().string();
}
} // namespace

int main(int argc, char** argv)
{
    ReuseDocumentBlocks();
    const ToolCommandLine line = ParseToolOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.options)
    {
        std::cout << line.out << std::flush;
        std::cerr << line.err << std::flush;
        return line.exitCode;
    }
    if (!line.options->dumpItemsAfter.empty())
        return DumpItemsAfterStep(*line.options, ExecutableDir(argv[0]), std::cout, std::cerr);
    return RunBatch(*line.options, ExecutableDir(argv[0]));
}
