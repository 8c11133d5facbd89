#include "gui/app/StatusMessages.h"

QString ProcessedStatus(std::size_t entries, bool refused, bool extendedRecognition)
{
    if (refused)
        return QStringLiteral("Оглавление не построено: документ уже содержит оглавление");
    if (entries > 0)
        return QStringLiteral("Найдено пунктов оглавления: %1").arg(entries);
    if (extendedRecognition)
        return QStringLiteral("Пункты оглавления не найдены");
    return QStringLiteral("Пункты не найдены. Включите «Расширенное распознавание заголовков» "
                          "в Сервис → Параметры");
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
    return wrapped ? QStringLiteral("Конец документа, замечания просматриваются с начала. ") + status : status;
}
