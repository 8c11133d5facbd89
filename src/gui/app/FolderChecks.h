#pragma once
// Checks of a folder path typed by the operator. Paths are absolute: the leading "/" plays the part
// of a drive ("/" alone is the root), the components after it follow the folder-name rules.

#include <QString>

class IPrompter;

enum FolderCheckResult
{
    kFolderOk = 0,
    kFolderBadName = 1,
    kFolderNotCreated = 2,
};

// True when name is acceptable as one folder name: not empty, neither starting nor ending with a tab,
// a blank or ".", and without any of " * / : < > ? \ |.
bool IsValidFolderName(const QString& name);

// kFolderBadName for a path that is not absolute, has a bad component or ends in "/" (except the root);
// with checkOnly false every component's folder is created, and a folder that then does not exist
// gives kFolderNotCreated. kFolderOk otherwise.
int CheckOrCreatePath(const QString& path, bool checkOnly);

// Checks path, offers to create a missing folder, reports problems; 0 when the folder exists or has
// just been created, -1 when the operator declined, the CheckOrCreatePath result after a problem.
int CheckFolder(const QString& path, IPrompter& prompter);
