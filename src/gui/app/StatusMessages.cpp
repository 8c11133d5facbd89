#include "gui/app/StatusMessages.h"

QString ProcessedStatus(std::size_t entries, bool refused, bool extendedRecognition)
{
    if (refused)
        return QStringLiteral("Оглавление не построено: документ уже содержит оглавление");
    if (entries > 0)
        return QStringLiteral("Найдено пунктов оглавления: %1").arg(entries);
    if (extendedRecognition)
        return QStringLiteral("Пункты оглавления не найдены");
    // Short enough for the status line of the window as it first opens on a 1024 x 768 screen.
    return QStringLiteral("Пункты не найдены. Расширенное распознавание: Сервис → Параметры");
}

QString ProcessedStatusWhole(std::size_t entries, bool refused, bool extendedRecognition)
{
    if (refused || entries > 0 || extendedRecognition)
        return ProcessedStatus(entries, refused, extendedRecognition);
    return QStringLiteral("Пункты оглавления не найдены. Включите флажок «Расширенное распознавание "
                          "заголовков» в Сервис → Параметры и обработайте документ заново: "
                          "Файл → Обработать заново (Ctrl+R).");
}

QString UnkeptInputStatus(int unkept)
{
    return QStringLiteral("Символов, которых нет в кодировке DOS, заменено на \"?\": %1").arg(unkept);
}

QString RemarkCountStatus(std::size_t remarks)
{
    return remarks == 0 ? QString() : QStringLiteral("Замечаний: %1").arg(remarks);
}

QString NextRemarkStatus(const QString& texts, bool wrapped)
{
    QString status = texts;
    status.replace(QLatin1Char('\n'), QStringLiteral("; "));
    return wrapped ? QStringLiteral("Конец документа, замечания просматриваются с начала. ") + status
                   : status;
}
