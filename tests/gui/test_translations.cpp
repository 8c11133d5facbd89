// Qt's own texts in Russian, loaded the way the program loads them at start: the buttons of the
// questions, the editor's context menu, and Qt's English kept when the catalogue is missing or broken.

#include "gui/common/CMessageBoxPrompter.h"
#include "gui/common/QtTranslations.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(PromptButtons)
Q_DECLARE_METATYPE(PromptAnswer)

namespace
{
struct AskedQuestion
{
    PromptAnswer answer = PromptAnswer::No;
    QStringList buttons; // the texts of Yes, No and Cancel that the box has, without their '&'
};

// Asks through the program's prompter and presses the given button of the box in front.
AskedQuestion AskAndPress(PromptButtons buttons, QMessageBox::StandardButton press)
{
    AskedQuestion asked;
    QTimer::singleShot(0,
                       [&asked, press]
                       {
                           auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                           if (!box)
                               return;
                           for (const auto role : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                               if (QAbstractButton* button = box->button(role))
                                   asked.buttons << button->text().remove(QLatin1Char('&'));
                           box->button(press)->click();
                       });
    CMessageBoxPrompter prompter;
    asked.answer = prompter.Ask("Текст документа был изменён.\nСохранить изменения?", buttons);
    return asked;
}

QString RussianCatalogue()
{
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(QStringLiteral("qtbase_ru.qm"));
}

// Installed once, as at the program's start.
bool RussianTextsInstalled()
{
    static const bool installed = InstallRussianQtTranslations();
    return installed;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: once the Russian catalogue is installed, Qt's English texts cannot be seen again.
    void MissingOrBrokenCatalogueKeepsQtTexts()
    {
        // A catalogue starts with these 16 bytes; one that holds nothing after them translates nothing.
        const QByteArray magic("\x3c\xb8\x64\x18\xca\xef\x9c\x95\xcd\x21\x1c\xbf\x60\xa1\xbd\xdd", 16);
        const struct
        {
            const char* name;
            QByteArray bytes;
        } broken[] = {
            {"empty", {}},
            {"garbage", QByteArray(4096, '\x5a')},
            {"header only", magic},
            {"header and garbage", magic + QByteArray(4096, '\x5a')},
        };
        QTemporaryDir dir;
        QVERIFY(!InstallRussianQtTranslationsFrom(dir.filePath("no such folder")));
        QVERIFY(!InstallRussianQtTranslationsFrom(dir.path()));
        for (const auto& catalogue : broken)
        {
            const QString folder = dir.filePath(catalogue.name);
            QVERIFY(QDir().mkpath(folder));
            WriteFile(folder + "/qtbase_ru.qm", catalogue.bytes);
            QVERIFY2(!InstallRussianQtTranslationsFrom(folder), catalogue.name);
        }

        const AskedQuestion asked = AskAndPress(PromptButtons::YesNoCancel, QMessageBox::Cancel);
        QCOMPARE(asked.buttons, QStringList({"Yes", "No", "Cancel"}));
        QCOMPARE(asked.answer, PromptAnswer::Cancel);
    }

    void QuestionButtonsReadRussian_data()
    {
        QTest::addColumn<PromptButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<PromptAnswer>("answer");
        QTest::newRow("save before the next document")
            << PromptButtons::YesNoCancel << QMessageBox::Cancel << QStringList({"Да", "Нет", "Отмена"})
            << PromptAnswer::Cancel;
        QTest::newRow("yes or no") << PromptButtons::YesNo << QMessageBox::Yes << QStringList({"Да", "Нет"})
                                   << PromptAnswer::Yes;
    }

    void QuestionButtonsReadRussian()
    {
        if (!QFile::exists(RussianCatalogue()))
            QSKIP("Qt's Russian texts are not installed (Debian 12: qt6-translations-l10n)");
        QVERIFY(RussianTextsInstalled());
        QFETCH(PromptButtons, buttons);
        QFETCH(QMessageBox::StandardButton, press);
        const AskedQuestion asked = AskAndPress(buttons, press);
        QTEST(asked.buttons, "texts");
        QTEST(asked.answer, "answer");
    }

    void EditorContextMenuReadsRussian()
    {
        if (!QFile::exists(RussianCatalogue()))
            QSKIP("Qt's Russian texts are not installed (Debian 12: qt6-translations-l10n)");
        QVERIFY(RussianTextsInstalled());
        QPlainTextEdit editor;
        const std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                texts << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        QCOMPARE(texts, QStringList({"Отменить действие", "Повторить действие", "Вырезать", "Копировать",
                                     "Вставить", "Удалить", "Выделить всё"}));
    }
};

QTEST_MAIN(TranslationsTest)
#include "test_translations.moc"
