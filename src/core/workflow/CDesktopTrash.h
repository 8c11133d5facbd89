#pragma once
// The desktop's trash as file managers keep it: the file goes into a "files" folder and a
// NAME.trashinfo beside it in "info" says where it came from and when, so the file manager can put
// it back. A file on the file system of the user's home goes into the home trash
// ($XDG_DATA_HOME/Trash); one on another file system into that file system's own trash at its
// mount point (.Trash/UID when an administrator set it up, else .Trash-UID), since a trash never
// copies a file across file systems.

#include "core/workflow/ITrash.h"

#include <string>

class CDesktopTrash : public ITrash
{
public:
    // homeTrash: the home trash folder; the default is the user's.
    explicit CDesktopTrash(std::string homeTrash = UserHomeTrash());

    bool MoveToTrash(const std::string& path) override;
    // Where the last file that went to the trash now lies.
    const std::string& TrashedAs() const { return m_trashedAs; }

    // $XDG_DATA_HOME/Trash, else ~/.local/share/Trash; empty when neither is known.
    static std::string UserHomeTrash();

private:
    // Moves the file into trash, whose info files name it by infoPath.
    bool MoveInto(const std::string& trash, const std::string& file, const std::string& infoPath);

    std::string m_homeTrash;
    std::string m_trashedAs;
};
