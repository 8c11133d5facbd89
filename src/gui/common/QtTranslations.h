#pragma once
// Qt's own texts (the standard buttons of the questions, the file dialogs, the editor's context menu)
// in Russian like the rest of the program, whatever the user's locale.

#include <QString>

// Installs Qt's Russian catalogue from the folder of the Qt installation the program runs with, then
// the program's own catalogue of the texts Qt's lacks, and makes Russian the default locale (the
// file types the file dialogs show follow it). True when Qt's catalogue was installed.
bool InstallRussianQtTranslations();
// Installs Qt's catalogue from the given folder. A missing or unreadable catalogue installs nothing
// and returns false: Qt then keeps its English texts, and the program runs as before.
bool InstallRussianQtTranslationsFrom(const QString& folder);
// Installs the program's catalogue, which the program carries in its resources.
bool InstallProgramTranslations();
