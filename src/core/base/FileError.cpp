#include "core/base/FileError.h"

#include <cstring>

std::string FileError::Reason() const
{
    if (!reason.empty() || errorNumber == 0)
        return reason;
    return std::strerror(errorNumber);
}

std::string FileErrorText(const FileError& error)
{
    return error.path + ": " + error.Reason();
}

std::string MessageWithReason(std::string_view firstLine, std::string_view reason)
{
    std::string message(firstLine);
    if (!reason.empty())
        message.append("\n").append(reason);
    return message;
}

std::string ProcessingFailureReason(const std::exception& failure)
{
    return std::string("cannot process the document: ") + failure.what();
}
