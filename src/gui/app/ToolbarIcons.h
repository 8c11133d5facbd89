#pragma once
// The toolbar's 16 x 15 images, drawn by the program.

#include <QIcon>

// The image of a toolbar command; a null icon for a command without one.
QIcon ToolbarIcon(int commandId);
