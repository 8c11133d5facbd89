#pragma once
// The platform's trash, from which the operator can take a deleted document back.

#include <string>

class ITrash
{
public:
    virtual ~ITrash() = default;
    // Moves the file at path (UTF-8) into the trash; false when it is not there afterwards.
    virtual bool MoveToTrash(const std::string& path) = 0;
};
