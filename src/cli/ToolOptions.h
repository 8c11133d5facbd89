#pragma once
// The command line of tirvel-toc read into what a run is asked to do.

#include "cli/TocToolOptions.h"

#include <optional>
#include <string>
#include <vector>

// A command line read: the options of a run, or what to print and exit with instead of a run (the
// help or the version with 0, a usage error with 2).
struct ToolCommandLine
{
    std::optional<TocToolOptions> options; // empty when no run follows
    std::string out;                       // for standard output: the help or the version
    std::string err;                       // for standard error: what is wrong with the usage
    int exitCode = 0;
};

// Reads the arguments that follow the program's name. Prints nothing and never exits.
ToolCommandLine ParseToolOptions(const std::vector<std::string>& args);
