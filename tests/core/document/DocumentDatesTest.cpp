#include "core/document/CDocumentFile.h"
#include "core/document/Markers.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{

using Lines = std::vector<std::string>;

const std::string kChange = Cp("$100  Дата ввода/изменения");
const std::string kEntry = Cp("$101  Дата ввода текста");
const std::string kTextStart = Cp("$18  Текст документа");

// A document loaded from a file with the given header (in memory form) and the text line "text" when
// the header ends with the text start line.
struct LoadedDocument
{
    LoadedDocument(const Lines& header, CalendarDate today)
        : document(reporter, [this] { return this->today; }), today(today)
    {
        std::string file;
        for (const std::string& line : header)
            file += Cp1251ToCp866(line) + "\r\n";
        if (!header.empty() && header.back() == kTextStart)
            file += "text";
        WriteBytes(folder / "d.rla", file);
        document.Load(folder / "d.rla");
    }
    // Runs the date update the way a save does.
    void Save() { ASSERT_TRUE(document.Save(false)); }
    const std::string& Header(std::size_t i) const { return document.HeaderLines().at(i); }

    ScratchFolder folder;
    RecordingReporter reporter;
    CDocumentFile document;
    CalendarDate today;
};

} // namespace

TEST(DocumentDates, NewValueIsTheLaterOfTodayAndTheDayAfter)
{
    struct Case
    {
        std::string stored;
        CalendarDate today;
        std::string expected;
    };
    const Case cases[] = {
        {"01.03.2003", {15, 5, 2023}, "15.05.2023"}, // earlier: today
        {"14.05.2023", {15, 5, 2023}, "15.05.2023"},
        {"15.05.2023", {15, 5, 2023}, "16.05.2023"}, // today: tomorrow
        {"31.12.2030", {15, 5, 2023}, "01.01.2031"}, // future year end
        {"30.04.2025", {15, 5, 2023}, "01.05.2025"},
        {"28.02.2004", {1, 1, 2004}, "29.02.2004"}, // leap year
        {"29.02.2004", {1, 1, 2004}, "01.03.2004"},
        {"28.02.2100", {1, 1, 2004}, "01.03.2100"}, // divisible by 100: no leap year
        {"28.02.2000", {1, 1, 1999}, "29.02.2000"}, // divisible by 400: leap year
        {"28.02.2023", {1, 1, 2023}, "01.03.2023"},
        {"31.12.9999", {1, 1, 2023}, "31.12.9999"}, // the next day does not fit the field
        {"15.05.2023", {1, 2, 2024}, "01.02.2024"}, // written with two-digit day and month
    };
    for (const Case& c : cases)
    {
        LoadedDocument loaded({kChange, c.stored, kTextStart}, c.today);
        loaded.Save();
        EXPECT_EQ(loaded.Header(1), c.expected) << c.stored;
        EXPECT_TRUE(loaded.document.ChangeDateDone());
    }
}

TEST(DocumentDates, AValueThatIsNoDateEndsTheScan)
{
    // The $100 value is left as it is and the $101 field below it is not reached either.
    for (const std::string bad : {"1.3.2003", "31.02.2003", "ab.cd.efgh", "00.01.2020", "01.13.2020",
                                  "01.01.0000", "01.03.2003 ", "+1.03.2003"})
    {
        LoadedDocument loaded({kChange, bad, kEntry, "01.01.2003", kTextStart}, {15, 5, 2023});
        loaded.document.SetTextLines({"changed"});
        loaded.Save();
        EXPECT_EQ(loaded.Header(1), bad);
        EXPECT_EQ(loaded.Header(3), "01.01.2003") << bad;
        EXPECT_TRUE(loaded.document.ChangeDateDone());
        EXPECT_FALSE(loaded.document.EntryDateDone());

        // Its flag is set, so the next save passes over it and reaches $101.
        loaded.Save();
        EXPECT_EQ(loaded.Header(1), bad);
        EXPECT_EQ(loaded.Header(3), "15.05.2023") << bad;
    }
}

TEST(DocumentDates, FieldWithoutValueLineIsLeftAlone)
{
    for (const Lines& header : {Lines{"$1", kChange}, Lines{kEntry, kChange}, Lines{kChange, kTextStart}})
    {
        LoadedDocument loaded(header, {15, 5, 2023});
        if (header.back() != kTextStart)
            loaded.document.MutableTextLines().Clear(); // a file without $18 has no text
        loaded.document.MutableTextLines().PushBack("changed");
        loaded.Save();
        EXPECT_EQ(loaded.document.HeaderLines(), header);
    }
}

TEST(DocumentDates, EntryDateFollowsChangesOfTheTextOnly)
{
    const std::string ogl = MarkerLine(Marker::Ogl);
    const std::string kon = MarkerLine(Marker::Kon);
    LoadedDocument loaded({kChange, "01.01.2003", kEntry, "01.01.2003", kTextStart}, {15, 5, 2023});

    // A new table of contents only: $100 changes, $101 stays and stays pending.
    loaded.document.SetTextLines({ogl, "*", "x", kon, "text"});
    loaded.Save();
    EXPECT_EQ(loaded.Header(1), "15.05.2023");
    EXPECT_EQ(loaded.Header(3), "01.01.2003");
    EXPECT_FALSE(loaded.document.EntryDateDone());

    // A change of the text at a later save: $101 changes, $100 keeps the value of the first save.
    loaded.document.MutableTextLines().PushBack("more");
    loaded.Save();
    EXPECT_EQ(loaded.Header(1), "15.05.2023");
    EXPECT_EQ(loaded.Header(3), "15.05.2023");

    // Once per load: further saves change neither date.
    loaded.document.MutableTextLines().PushBack("even more");
    loaded.Save();
    EXPECT_EQ(loaded.Header(1), "15.05.2023");
    EXPECT_EQ(loaded.Header(3), "15.05.2023");
}

TEST(DocumentDates, FieldsAreFoundWhereTheyStand)
{
    // $101 before $100, a field line with more text after its name, other fields in between.
    LoadedDocument loaded({"$1  Вид", "x", kEntry + " (old)", "01.01.2003", "$3", "02.02.2003", kChange,
                           "01.01.2003", kTextStart},
                          {15, 5, 2023});
    loaded.document.SetTextLines({"changed"});
    loaded.Save();
    EXPECT_EQ(loaded.Header(3), "15.05.2023");
    EXPECT_EQ(loaded.Header(5), "02.02.2003");
    EXPECT_EQ(loaded.Header(7), "15.05.2023");
}

TEST(DocumentDates, ClearAndKeepDatesStopTheUpdate)
{
    LoadedDocument kept({kChange, "01.01.2003", kTextStart}, {15, 5, 2023});
    kept.document.KeepDates();
    kept.Save();
    EXPECT_EQ(kept.Header(1), "01.01.2003");

    LoadedDocument cleared({kChange, "01.01.2003", kTextStart}, {15, 5, 2023});
    cleared.document.Clear();
    EXPECT_TRUE(cleared.document.HeaderLines().empty());
    EXPECT_TRUE(cleared.document.Path().empty());
    EXPECT_TRUE(cleared.document.ChangeDateDone());
    EXPECT_TRUE(cleared.document.EntryDateDone());
}
