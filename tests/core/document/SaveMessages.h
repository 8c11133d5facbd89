#pragma once
// What the save tests of the document share: the operator's messages of a save that failed, and
// the day their saves take for today, so that the dates a save writes are known.

#include "core/document/DocumentDates.h"
#include "support/TestSupport.h"

#include <string>

inline ReportedMessage SaveFailed(const std::string& path)
{
    return {"Ошибка сохранения файла " + path + "!", MessageIcon::Error};
}

inline ReportedMessage BackupFailed(const std::string& path)
{
    return {"Ошибка создания резервного файла " + path + "!", MessageIcon::Error};
}

inline CalendarDate FixedToday()
{
    return {15, 5, 2023};
}
