#pragma once
// A document session with fakes of what it reaches outside the core: an editor that holds its lines,
// a trash, a processing monitor and a recognizer that adds one block; a scratch folder for the files.

#include "core/workflow/CDocumentSession.h"

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/workflow/IDocumentEditor.h"
#include "core/workflow/IProcessingMonitor.h"
#include "core/workflow/ITrash.h"
#include "support/CScriptedPrompter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <new>

namespace fs = std::filesystem;

// An editor that holds its lines.
struct FakeEditor : IDocumentEditor
{
    CTextLines GetLines() const override { return lines; }
    void SetLines(const CTextLines& newLines, const std::function<void()>&) override
    {
        lines = newLines;
    }
    void ClearText() override
    {
        lines.Clear();
        ++cleared;
    }

    CTextLines lines;
    int cleared = 0;
};

// A trash that takes the file away (or refuses) and remembers what it got.
struct FakeTrash : ITrash
{
    bool MoveToTrash(const std::string& path) override
    {
        if (!works)
            return false;
        trashed.push_back(path);
        contents.push_back(ReadBytes(path));
        return fs::remove(path);
    }

    bool works = true;
    std::vector<std::string> trashed;
    std::vector<std::string> contents; // of each trashed file
};

struct FakeMonitor : IProcessingMonitor
{
    void ProcessingStarted() override { ++started; }
    void PumpMessages() override
    {
        if (onPump)
            onPump();
    }
    void ProcessingEnded() override { ++ended; }

    int started = 0;
    int ended = 0;
    std::function<void()> onPump; // what the operator does while the engine works
};

const std::vector<std::string> kText = {"Статья 1. Предмет", "", "Текст статьи."};

// The text as the engine leaves it: one table-of-contents block in front.
inline std::vector<std::string> Processed(const CTextLines& lines)
{
    std::vector<std::string> result = {MarkerLine(Marker::Ogl), Cp("*Статья 1. Предмет"),
                                       MarkerLine(Marker::Kon)};
    result.insert(result.end(), lines.begin(), lines.end());
    return result;
}

inline ProcessResult AddBlock(const CTextLines& lines, IReporter&,
                              const std::function<void()>& pump, const RecognitionOptions&)
{
    pump();
    return {Processed(lines), false, 1};
}

inline std::string DocumentFile(const std::vector<std::string>& utf8Text)
{
    std::string bytes = File866("$18  Текст документа");
    for (const std::string& line : utf8Text)
        bytes += "\r\n" + File866(line);
    return bytes;
}

const std::string kAlreadyThere =
    "Перенос файла невозможен так как сохраняемый файл уже находится в папке для "
    "обработанных документов!\nУкажите другую папку в пункте меню\"Сервис->Параметры\"";
const std::string kNoFolder =
    "Папка для обработанных документов не задана!\nУкажите папку в пункте меню\"Сервис->Параметры\"";
const std::string kMoveFailed = "Ошибка переноса файла в папку для обработанных документов!";
const std::string kLeaveQuestion = "Текст документа был изменён.\nСохранить изменения?";

class DocumentSessionTest : public ::testing::Test
{
protected:
    DocumentSessionTest()
        : session(editor, prompter, trash, monitor,
                  [this](const CTextLines& lines, IReporter& reporter,
                         const std::function<void()>& pump, const RecognitionOptions& options)
                  { return recognizer(lines, reporter, pump, options); })
    {
    }

    // A document file in the scratch folder; its path.
    std::string Write(const std::string& name,
                      const std::vector<std::string>& utf8Text = {"Статья 1. Предмет"})
    {
        const std::string path = folder / name;
        WriteBytes(path, DocumentFile(utf8Text));
        return path;
    }

    void Configure(bool autoSave, bool moveOnSave, const std::string& processedFolder)
    {
        SessionSettings settings;
        settings.autoSaveOnNext = autoSave;
        settings.moveOnSave = moveOnSave;
        settings.processedFolder = processedFolder;
        session.SetSettings(settings);
    }

    // The text lines of a document file, in memory form.
    std::vector<std::string> TextOf(const std::string& path)
    {
        SilentReporter reporter;
        CDocumentFile document(reporter);
        document.Load(path);
        return document.TextLines().ToVector();
    }

    ScratchFolder folder;
    CScriptedPrompter prompter;
    FakeEditor editor;
    FakeTrash trash;
    FakeMonitor monitor;
    CDocumentSession::Recognizer recognizer = AddBlock;
    CDocumentSession session;
};
