#pragma once
// A file operation that failed: what was being done, the file it was done to and why it failed. The
// editor and the batch tool word a failure with the same function, so the operator reads the same
// reason in the editor's message box as on the tool's standard error.

#include <exception>
#include <string>
#include <string_view>

enum class FileAction
{
    Open,
    Save,
    Backup,
    Move,
    Remove,
    Trash,
    CreateFolder,
    ReadAttributes,
};

struct FileError
{
    FileAction action = FileAction::Open;
    std::string path;
    // The system's error number; 0 when the failure has a reason of this program's own.
    int errorNumber = 0;
    // The reason in words when it is not simply the system's text for errorNumber.
    std::string reason;

    // reason when it is set, else the system's text for errorNumber.
    std::string Reason() const;
};

// "PATH: REASON": how the tool prints a failure after its own name, and the line the editor shows
// under its message.
std::string FileErrorText(const FileError& error);

// The message the editor shows for a failure: its own first line (Russian), then the reason as the
// tool words it.
std::string MessageWithReason(std::string_view firstLine, std::string_view reason);

// The reason for a document that failed while it was processed (memory ran out, say), as the tool
// prints it.
std::string ProcessingFailureReason(const std::exception& failure);
