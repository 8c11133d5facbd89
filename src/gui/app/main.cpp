// Start-up of the editor: the application object, the main window with its placement from the
// profile, the documents named on the command line, and at the end the placement written back.

#include "core/workflow/CDocumentSession.h"
#include "core/workflow/SettingsFile.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CMainFrame.h"
#include "core/base/ProcessMemory.h"
#include "gui/common/CMessageBoxPrompter.h"
#include "gui/common/QtTranslations.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char* argv[])
{
    KeepLargeBlocksMapped();
    QApplication application(argc, argv);
    // Before any window exists: the buttons of a dialog take their texts when it is built.
    InstallRussianQtTranslations();
    QApplication::setOrganizationName(QString::fromUtf8(kProfileOrganisation));
    QApplication::setApplicationName(QString::fromUtf8(kProfileApplication));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tirvel/tirvel.png")));

    CKestrelApp app;
    CMessageBoxPrompter prompter;
    int result = 0;
    {
        auto frame = std::make_unique<CMainFrame>(prompter, &app);
        prompter.SetOwner(frame.get());
        app.LoadWindowPlacement(*frame);
        app.ShowWindow(*frame);

        // Paths on the command line go through the same queue as the open commands, once the
        // window is up so that the progress window has its owner on screen.
        const QStringList paths = QApplication::arguments().mid(1);
        if (!paths.isEmpty())
        {
            std::vector<std::string> files;
            for (const QString& path : paths)
                files.push_back(path.toStdString());
            QTimer::singleShot(0, frame.get(),
                               [&session = frame->Session(), files] { session.OpenPaths(files); });
        }

        result = QApplication::exec();
        // Destroying the window writes the settings file.
    }
    app.SaveWindowPlacement();
    return result;
}
