#include "gui/app/FolderChecks.h"

#include "core/base/IPrompter.h"

#include <QDir>
#include <QFileInfo>

bool IsValidFolderName(const QString& name)
{
    if (name.isEmpty())
        return false;
    auto isEdgeForbidden = [](QChar ch)
    { return ch == QLatin1Char('\t') || ch == QLatin1Char(' ') || ch == QLatin1Char('.'); };
    if (isEdgeForbidden(name.front()) || isEdgeForbidden(name.back()))
        return false;
    static const QString kForbidden = QStringLiteral("\"*/:<>?\\|");
    for (const QChar ch : name)
    {
        if (kForbidden.contains(ch))
            return false;
    }
    return true;
}

int CheckOrCreatePath(const QString& path, bool checkOnly)
{
    if (!path.startsWith(QLatin1Char('/')))
        return kFolderBadName;
    if (path.size() == 1)
    {
        if (checkOnly)
            return kFolderOk;
        return QFileInfo::exists(path) ? kFolderOk : kFolderNotCreated;
    }
    qsizetype start = 1;
    while (true)
    {
        const qsizetype slash = path.indexOf(QLatin1Char('/'), start);
        const qsizetype end = slash < 0 ? path.size() : slash;
        if (!IsValidFolderName(path.mid(start, end - start)))
            return kFolderBadName;
        if (!checkOnly)
        {
            const QString folder = path.left(end);
            // A folder that exists already is fine; whether creating worked is judged by its existence.
            QDir().mkdir(folder);
            if (!QFileInfo::exists(folder))
                return kFolderNotCreated;
        }
        if (slash < 0)
            return kFolderOk;
        start = slash + 1;
        if (start == path.size())
            return kFolderBadName; // nothing after the last separator
    }
}

namespace
{
std::string Message(const char* pattern, const QString& path)
{
    return QString::fromUtf8(pattern).arg(path).toStdString();
}

void ReportFolderProblem(int result, const QString& path, IPrompter& prompter)
{
    if (result == kFolderBadName)
        prompter.Report(Message("Ошибочное название папки:\n\n%1\n\n. Переименуйте папку.", path),
                        MessageIcon::Exclamation);
    else
        prompter.Report(Message("Папка:\n\n%1\n\nне может быть создана.", path), MessageIcon::Exclamation);
}
} // namespace

int CheckFolder(const QString& path, IPrompter& prompter)
{
    int result = CheckOrCreatePath(path, true);
    if (result != kFolderOk)
    {
        ReportFolderProblem(result, path, prompter);
        return result;
    }
    if (!QFileInfo::exists(path))
    {
        if (prompter.Ask(Message("Папка:\n\n%1\n\nне существует. Создать папку?", path),
                         PromptButtons::YesNo) != PromptAnswer::Yes)
            return -1;
        result = CheckOrCreatePath(path, false);
        if (result != kFolderOk)
        {
            ReportFolderProblem(result, path, prompter);
            return result;
        }
    }
    return kFolderOk;
}
