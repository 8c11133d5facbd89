#include "gui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace
{
bool Install(std::unique_ptr<QTranslator> translator)
{
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    // The application keeps the catalogue for as long as it runs.
    translator.release()->setParent(QCoreApplication::instance());
    return true;
}
} // namespace

bool InstallRussianQtTranslations()
{
    const bool installed =
        InstallRussianQtTranslationsFrom(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Installed later, the program's catalogue is asked first.
    InstallProgramTranslations();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    return installed;
}

bool InstallRussianQtTranslationsFrom(const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    // qtbase holds the texts of every Qt module the editor uses, print dialogs included.
    return translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                            QStringLiteral("_"), folder) &&
           Install(std::move(translator));
}

bool InstallProgramTranslations()
{
    auto translator = std::make_unique<QTranslator>();
    return translator->load(QStringLiteral(":/tirvel/translations/tirvel_ru.qm")) &&
           Install(std::move(translator));
}
