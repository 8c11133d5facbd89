// The main window's menu, toolbar, keys, status line, dock and title; the keyboard route between
// the text and the panel; the panel's first height and the help page's table of panel keys.

#include "GuiTestSupport.h"

#include "gui/app/CHelpWnd.h"
#include "gui/app/CKestrelApp.h"
#include "gui/app/CKestrelView.h"
#include "gui/app/CommandIds.h"
#include "gui/panel/CTocPanel.h"
#include "gui/widgets/CFlatIconButton.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

namespace
{
bool WriteText(const QString& path, const char* utf8)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(utf8) > 0;
}

// One line per item: "id text [keys]", "-" for a separator.
QStringList Describe(const QList<QAction*>& actions)
{
    QStringList items;
    for (const QAction* action : actions)
    {
        if (action->isSeparator())
        {
            items << QStringLiteral("-");
            continue;
        }
        QString item = QString::number(action->data().toInt()) + QLatin1Char(' ') + action->text();
        for (const QKeySequence& key : action->shortcuts())
            item += QLatin1Char(' ') + key.toString(QKeySequence::PortableText);
        items << item;
    }
    return items;
}
} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void MenusCarryEveryItem()
    {
        TestWindow window;
        const std::vector<QMenu*>& menus = window.m_frame->Menus();
        QStringList titles;
        for (const QMenu* menu : menus)
            titles << menu->title();
        QCOMPARE(titles, (QStringList{"&Файл", "&Правка", "&Вид", "&Сервис", "&Справка"}));

        QCOMPARE(Describe(menus[0]->actions()),
                 (QStringList{"57601 &Открыть... Ctrl+O", "32772 Открыть &папку...",
                              "57603 &Сохранить Ctrl+S", "-", "32774 Перейти к следующему &документу",
                              "32810 Обработать &заново Ctrl+R", "-", "32795 &Удалить файл в корзину", "-",
                              "57607 &Печать... Ctrl+P", "57609 Предварительный прос&мотр",
                              "57606 П&араметры страницы...", "-", "57665 В&ыход"}));
        QCOMPARE(
            Describe(menus[1]->actions()),
            (QStringList{"57643 &Отменить Ctrl+Z Alt+Backspace", "57644 &Повторить Ctrl+Y", "-",
                         "57635 &Вырезать Ctrl+X Shift+Del", "57634 &Копировать Ctrl+C Ctrl+Ins",
                         "57637 &Вставить Ctrl+V Shift+Ins", "57642 В&ыделить всё Ctrl+A", "-",
                         "57636 &Поиск... Ctrl+F", "57640 &Найти следующий F3", "57641 &Заменить Ctrl+H"}));
        QCOMPARE(Describe(menus[2]->actions()),
                 (QStringList{"32789 &Обновить оглавление документа F5",
                              "32811 Перейти ме&жду текстом и оглавлением F6 Shift+F6", "-",
                              "59392 &Панель инструментов", "32792 Панель &оглавления документа",
                              "59393 &Строка состояния"}));
        QCOMPARE(
            Describe(menus[3]->actions()),
            (QStringList{"32796 &Вставить тег оглавления", "32778 В &верхний регистр",
                         "32779 В &нижний регистр", "32781 &Удалить пункты оглавления",
                         "32821 До&бавить заголовок в оглавление Ctrl+Shift+Ins", "-",
                         "32820 С&ледующее замечание F8", "-", "32784 &Создавать .bak файлы при сохранении",
                         "32786 &Автоматически сохранять при открытии следующего документа", "-",
                         "32800 Словарь видов &документов", "32798 Словарь слов с &заглавными буквами", "-",
                         "32793 &Параметры"}));
        QCOMPARE(Describe(menus[4]->actions()),
                 (QStringList{"57667 &Справка", "-", "57664 &О программе..."}));
    }

    void ToolbarAndTips()
    {
        TestWindow window;
        QToolBar* bar = window.m_frame->ToolBar();
        QStringList ids;
        for (const QAction* action : bar->actions())
            ids << (action->isSeparator() ? QStringLiteral("|") : QString::number(action->data().toInt()));
        QCOMPARE(ids.join(' '),
                 QStringLiteral("57601 32772 57603 32774 | 32795 | 57635 57634 57637 | 57607 | 57643 57644 | "
                                "32786 32784 32793 32798 | 32796 32778 32779 32781"));
        QCOMPARE(bar->iconSize(), QSize(16, 15));
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QCOMPARE(window.m_frame->toolBarArea(bar), Qt::TopToolBarArea);

        const struct
        {
            int id;
            const char* tip;
            const char* status;
        } tips[] = {
            {CommandId::OpenFolder, "Открыть папку", "Открытие папки с файлами для конвертации оглавлений"},
            {CommandId::NextDocument, "Перейти к следующему", "Переход к следующему документу"},
            {CommandId::DeleteFile, "Удалить файл", "Удаляет файл с текущим документов в корзину"},
            {CommandId::UpdateToc, "Обновить оглавление", "Обновление оглавления документа"},
            {CommandId::AutoSave, "Автоматически сохранять при открытии следующего документа",
             "Автоматически сохранять текущий документ при открытии следующего документа"},
            {CommandId::MakeBak, "Создавать .bak файлы", nullptr},
            {CommandId::Options, "Параметры", nullptr},
            {CommandId::UpperCase, "В верхний регистр",
             "Перевод букв в выделеном блоке текста в верхний регистр"},
            {CommandId::InsertTocTag, "Вставить тег оглавления", "Вставка тега оглавления в текст документа"},
        };
        for (const auto& t : tips)
        {
            QCOMPARE(window.m_frame->Action(t.id)->toolTip(), QString::fromUtf8(t.tip));
            if (t.status)
                QCOMPARE(window.m_frame->Action(t.id)->statusTip(), QString::fromUtf8(t.status));
        }
    }

    void StatusLineAndDock()
    {
        TestWindow window;
        CMainFrame& frame = *window.m_frame;
        frame.show();
        QCOMPARE(frame.PositionPane()->text(), QStringLiteral(" "));
        QStringList texts;
        for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
            texts << label->text();
        for (const char* text : {"Для получения справки нажмите F1", "CAP", "NUM", "SCRL"})
            QVERIFY2(texts.contains(QString::fromUtf8(text)), text);

        QDockWidget* dock = frame.TocDock();
        QCOMPARE(dock->windowTitle(), QStringLiteral("Оглавление"));
        QCOMPARE(frame.dockWidgetArea(dock), Qt::BottomDockWidgetArea);
        QCOMPARE(dock->allowedAreas(), Qt::AllDockWidgetAreas);

        // The view toggles show their bar's visibility as a check mark.
        for (int id : {CommandId::ViewTocPanel, CommandId::ViewToolbar, CommandId::ViewStatusBar})
        {
            QVERIFY(frame.Action(id)->isChecked());
            frame.OnCommand(id);
            QVERIFY(!frame.Action(id)->isChecked());
            frame.OnCommand(id);
            QVERIFY(frame.Action(id)->isChecked());
        }
        QVERIFY(dock->isVisible());
    }

    // Help opens in a window of the program, with the page and its links, from the menu and with F1
    // outside the editor; Esc closes it.
    void HelpOpensInAWindowOfTheProgram()
    {
        const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/test_window.html");
        const QString next = QCoreApplication::applicationDirPath() + QStringLiteral("/next.html");
        QFile::remove(page);
        QFile::remove(next);
        QVERIFY(WriteText(page, "<html><head><title>Справка о Тирвели</title></head><body>"
                                "<p>Первая страница. <a href=\"next.html\">Дальше</a></p>"
                                "<!-- panel-keys --></body></html>"));
        QVERIFY(WriteText(next, "<html><body><p>Вторая страница.</p></body></html>"));
        TestWindow window;
        CMainFrame& frame = *window.m_frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        frame.OnCommand(CommandId::HelpIndex);
        CHelpWnd* help = frame.HelpWindow();
        QVERIFY(help && help->isVisible() && !help->isModal());
        QCOMPARE(help->windowTitle(), QStringLiteral("Справка о Тирвели"));
        QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("Первая страница.")));
        // The page's table of the panel's buttons: each button's picture, command and key.
        auto* panel = frame.findChild<CTocPanel*>();
        const QString helpText = help->Browser()->toPlainText();
        for (const int id :
             {CTocPanel::kLevelUp, CTocPanel::kLevelDown, CTocPanel::kToCapitals, CTocPanel::kToSentenceCase,
              CTocPanel::kDelete, CTocPanel::kFilter, CTocPanel::kRefresh, CTocPanel::kUndo, CTocPanel::kRedo,
              CTocPanel::kMarkAll, CTocPanel::kNextRemark})
        {
            const QString tip = panel->Button(id)->toolTip();
            const QString name = tip.section(QStringLiteral(" ("), 0, 0);
            const QString key = tip.section(QStringLiteral(" ("), 1).chopped(1);
            QVERIFY2(helpText.contains(name + QLatin1Char('\t') + key) ||
                         helpText.contains(name + QLatin1Char('\n') + key),
                     qPrintable(tip));
        }
        QCOMPARE(help->Browser()->toHtml().count(QStringLiteral("<img ")), 11);
        QFile installed(TIRVEL_SOURCE_DIR "/src/gui/app/help/tirvel.html");
        QVERIFY(installed.open(QIODevice::ReadOnly));
        QVERIFY(installed.readAll().contains("<!-- panel-keys -->"));
        help->Browser()->setSource(QUrl(QStringLiteral("next.html")));
        QVERIFY(help->Browser()->toPlainText().contains(QStringLiteral("Вторая страница.")));
        QTest::keyClick(help->Browser(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());

        frame.ToolBar()->setFocus();
        QTest::keyClick(frame.ToolBar(), Qt::Key_F1);
        QVERIFY(help->isVisible());
        QVERIFY(window.m_prompter.m_messages.empty());
        QFile::remove(page);
        QFile::remove(next);
    }

    // The editor is black on white whatever the desktop's colours.
    void EditorIsBlackOnWhiteUnderADarkTheme()
    {
        const QPalette before = QApplication::palette();
        QPalette dark = before;
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(220, 220, 220));
        QApplication::setPalette(dark);
        TestWindow window;
        const QPalette colours = window.View().viewport()->palette();
        QApplication::setPalette(before);
        QCOMPARE(colours.color(QPalette::Active, QPalette::Base), QColor(Qt::white));
        QCOMPARE(colours.color(QPalette::Inactive, QPalette::Text), QColor(Qt::black));
    }

    // F6 (and Shift+F6) goes from the text into the list at a current row and back, as Esc in the
    // list does; the panel's keys there win over the window's (Ctrl+A marks every row instead of
    // selecting the text).
    void KeyboardRouteIntoThePanel()
    {
        TestWindow window;
        CMainFrame& frame = *window.m_frame;
        frame.show();
        window.Session().OpenFiles({TIRVEL_SOURCE_DIR "/samples/law_sections_articles.rla"});
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CKestrelView& view = window.View();
        QListView* list = frame.findChild<CTocPanel*>()->List();
        QVERIFY(list->model()->rowCount() > 3);
        view.setFocus();
        QTRY_VERIFY(view.hasFocus());

        QTest::keyClick(&view, Qt::Key_F6);
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(list->currentIndex().row(), 0);
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(list->selectionModel()->selectedRows().size(), list->model()->rowCount());
        QVERIFY(!view.textCursor().hasSelection());
        QTest::keyClick(list, Qt::Key_F6, Qt::ShiftModifier);
        QTRY_VERIFY(view.hasFocus());
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(view.textCursor().hasSelection());

        // A hidden panel shows itself to take the focus.
        frame.OnCommand(CommandId::ViewTocPanel);
        QVERIFY(frame.TocDock()->isHidden());
        QTest::keyClick(&view, Qt::Key_F6);
        QVERIFY(frame.TocDock()->isVisible());
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Escape);
        QTRY_VERIFY(view.hasFocus());
    }

    // At the first start the panel shows eight rows at least, about a third of the window.
    void PanelFirstHeight()
    {
        CKestrelApp::Profile().remove(QStringLiteral("KestrelBarState"));
        TestWindow window;
        window.m_frame->resize(900, 650);
        window.m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
        QListView* list = window.m_frame->findChild<CTocPanel*>()->List();
        QTRY_VERIFY(list->viewport()->height() >= 8 * 24);
        QVERIFY(window.m_frame->TocDock()->height() >= 650 / 3);
        QVERIFY(window.m_frame->TocDock()->height() < 650 / 2);
    }

    void TitleAfterShowingAndPanelHeightKept()
    {
        TestWindow window;
        window.m_frame->show();
        QCOMPARE(window.m_frame->windowTitle(), QStringLiteral("Тирвель"));
        QVERIFY(!window.Session().IsModified());
        QVERIFY(QTest::qWaitForWindowExposed(window.m_frame.get()));
        window.m_frame->resizeDocks({window.m_frame->TocDock()}, {180}, Qt::Vertical);
        QTRY_COMPARE(window.m_frame->TocDock()->height(), 180);
        QVERIFY(window.m_frame->close());
        window.m_frame.reset();

        TestWindow again;
        again.m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(again.m_frame.get()));
        QCOMPARE(again.m_frame->dockWidgetArea(again.m_frame->TocDock()), Qt::BottomDockWidgetArea);
        QTRY_COMPARE(again.m_frame->TocDock()->height(), 180);
    }

    // The placement kept at closing is written to the profile and applied at the next start; one
    // that lies off the screen gives way to the window's own.
    void PlacementRoundTrip()
    {
        CScriptedPrompter prompter;
        QTemporaryDir dir;
        {
            CKestrelApp app;
            CMainFrame frame(prompter, &app, dir.path());
            frame.setGeometry(50, 40, 400, 300);
            frame.show();
            QVERIFY(frame.close());
            QCOMPARE(app.Placement().normal, (PlacementRect{50, 40, 450, 340}));
            app.SaveWindowPlacement();
        }
        QSettings profile(QStringLiteral("Local AppWizard-Generated Applications"),
                          QStringLiteral("Тирвель"));
        QCOMPARE(profile.value("Window/right").toInt(), 450);
        {
            CKestrelApp app;
            CMainFrame frame(prompter, &app, dir.path());
            app.LoadWindowPlacement(frame);
            QCOMPARE(frame.geometry(), QRect(50, 40, 400, 300));
        }
        profile.setValue("Window/left", 5000);
        profile.setValue("Window/right", 5400);
        profile.sync();
        {
            CKestrelApp app;
            CMainFrame frame(prompter, &app, dir.path());
            const QRect before = frame.geometry();
            app.LoadWindowPlacement(frame);
            QCOMPARE(frame.geometry(), before);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
