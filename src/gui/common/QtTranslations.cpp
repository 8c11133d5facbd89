#include "gui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

bool InstallRussianQtTranslations()
{
    return InstallRussianQtTranslationsFrom(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool InstallRussianQtTranslationsFrom(const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    // qtbase holds the texts of every Qt module the editor uses, print dialogs included.
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    // The application keeps the catalogue for as long as it runs.
    translator.release()->setParent(QCoreApplication::instance());
    return true;
}
