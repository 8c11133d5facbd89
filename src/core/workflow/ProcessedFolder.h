#pragma once
// Moving a document into the folder for processed documents, the one rule of the editor's save and
// of the batch tool: a file is never moved onto itself, whatever path names it, and a file already
// at the destination is replaced only by a complete move.

#include <string>

enum class MoveIntoResult
{
    Moved,
    // The destination is the document's own file (the document already lies in that folder).
    AlreadyThere,
    Failed,
};

// True when a and b name one file: the same device and inode, or, when that cannot be told (one of
// them does not exist), the same canonical path.
bool IsSameFile(const std::string& a, const std::string& b);

// Moves the file at from to destination (replacing a file there) unless both name the same file.
// The destination's folder must exist.
MoveIntoResult MoveIntoProcessedFolder(const std::string& from, const std::string& destination);
