#pragma once
// Qt's own texts (the standard buttons of the questions, the file dialogs, the editor's context menu)
// in Russian like the rest of the program, whatever the user's locale.

#include <QString>

// Installs Qt's Russian catalogue from the folder of the Qt installation the program runs with.
bool InstallRussianQtTranslations();
// Installs it from the given folder. A missing or unreadable catalogue installs nothing and returns
// false: Qt then keeps its English texts, and the program runs as before.
bool InstallRussianQtTranslationsFrom(const QString& folder);
