#pragma once
// The two date fields of a document's header: $100, the date of entry or change, brought up to date
// at the first save after each load, and $101, the date of text entry, brought up to date at the first
// save after a load that changed the text. A date written by the system never stays the same or goes
// back: the new value is the later of today and the day after the stored date.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CalendarDate
{
    int day;
    int month;
    int year;
};

// Today's local date.
CalendarDate SystemToday();

// A value line "dd.mm.yyyy" that names a real calendar day.
std::optional<CalendarDate> ParseDate(std::string_view value);
// The calendar day after date.
CalendarDate NextDay(CalendarDate date);
// date as a value line, "dd.mm.yyyy".
std::string FormatDate(const CalendarDate& date);

// Brings the $100 and $101 values in headerLines up to date, each at most once per load: a field
// whose done flag is set is passed over, and a field dealt with sets it; $101 only while
// textChanged() says so. A value of the wrong shape ends the update there.
void UpdateDateFields(std::vector<std::string>& headerLines, bool& changeDateDone, bool& entryDateDone,
                      const std::function<bool()>& textChanged, const std::function<CalendarDate()>& today);
