#include "core/workflow/ProcessedFolder.h"

#include "core/base/FileIO.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool IsSameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    std::error_code errorA;
    std::error_code errorB;
    const fs::path canonicalA = fs::weakly_canonical(a, errorA);
    const fs::path canonicalB = fs::weakly_canonical(b, errorB);
    return !errorA && !errorB && canonicalA == canonicalB;
}

MoveIntoResult MoveIntoProcessedFolder(const std::string& from, const std::string& destination)
{
    if (IsSameFile(from, destination))
        return MoveIntoResult::AlreadyThere;
    return MoveFileReplacing(from, destination) ? MoveIntoResult::Moved : MoveIntoResult::Failed;
}
