#include "core/document/DocumentDates.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"

#include <cstdio>
#include <ctime>

namespace
{

const std::string& ChangeDateField()
{
    static const std::string field = Utf8ToCp1251("$100  Дата ввода/изменения");
    return field;
}

const std::string& EntryDateField()
{
    static const std::string field = Utf8ToCp1251("$101  Дата ввода текста");
    return field;
}

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int month, int year)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int Number(std::string_view digits)
{
    int number = 0;
    for (const char digit : digits)
        number = number * 10 + (digit - '0');
    return number;
}

bool IsEarlier(const CalendarDate& a, const CalendarDate& b)
{
    if (a.year != b.year)
        return a.year < b.year;
    if (a.month != b.month)
        return a.month < b.month;
    return a.day < b.day;
}

// Updates the date on the value line after header line fieldIndex; false when the update ends there.
bool UpdateDateValue(std::vector<std::string>& headerLines, std::size_t fieldIndex,
                     const std::function<CalendarDate()>& today)
{
    // A field line without a value line, a value that is no date: leave it and end the update.
    if (fieldIndex + 1 >= headerLines.size())
        return false;
    std::string& value = headerLines[fieldIndex + 1];
    const std::optional<CalendarDate> stored = ParseDate(value);
    if (!stored)
        return false;
    const CalendarDate now = today();
    const CalendarDate updated = IsEarlier(*stored, now) ? now : NextDay(*stored);
    // The day after 31.12.9999 does not fit the field: the value stays.
    if (updated.year <= 9999)
        value = FormatDate(updated);
    return true;
}

} // namespace

CalendarDate SystemToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

std::optional<CalendarDate> ParseDate(std::string_view value)
{
    if (value.size() != 10 || value[2] != '.' || value[5] != '.')
        return std::nullopt;
    for (const std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(static_cast<unsigned char>(value[i])))
            return std::nullopt;
    const CalendarDate date{Number(value.substr(0, 2)), Number(value.substr(3, 2)),
                            Number(value.substr(6, 4))};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.month, date.year))
        return std::nullopt;
    return date;
}

CalendarDate NextDay(CalendarDate date)
{
    if (++date.day > DaysInMonth(date.month, date.year))
    {
        date.day = 1;
        if (++date.month > 12)
        {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

std::string FormatDate(const CalendarDate& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
    return text;
}

void UpdateDateFields(std::vector<std::string>& headerLines, bool& changeDateDone, bool& entryDateDone,
                      const std::function<bool()>& textChanged, const std::function<CalendarDate()>& today)
{
    int fieldsMet = 0;
    for (std::size_t i = 0; i < headerLines.size() && fieldsMet < 2; ++i)
    {
        const std::string& line = headerLines[i];
        if (BeginsWith(line, ChangeDateField()))
        {
            ++fieldsMet;
            if (changeDateDone)
                continue;
            changeDateDone = true;
            if (!UpdateDateValue(headerLines, i, today))
                return;
        }
        else if (BeginsWith(line, EntryDateField()))
        {
            ++fieldsMet;
            if (entryDateDone || !textChanged())
                continue;
            entryDateDone = true;
            if (!UpdateDateValue(headerLines, i, today))
                return;
        }
    }
}
