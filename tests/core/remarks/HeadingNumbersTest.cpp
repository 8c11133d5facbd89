// The numbers of headings as a reader reads them. The common forms are read by a short path and every
// other by the general reading: each form here sits next to one the short path must leave alone.

#include "core/remarks/HeadingNumbers.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct NumbersCase
{
    const char* text;
    Series series;
    const char* first; // as written
    const char* last;
    std::vector<std::string> others;
};

class HeadingNumberForms : public testing::TestWithParam<NumbersCase>
{
};

TEST_P(HeadingNumberForms, ReadAsAReaderReadsThem)
{
    const NumbersCase& c = GetParam();
    const HeadingNumbers numbers = ReadHeadingNumbers(Cp(c.text));
    EXPECT_EQ(numbers.series, c.series) << c.text;
    EXPECT_EQ(numbers.first.written, c.first) << c.text;
    EXPECT_EQ(numbers.last.written, c.last) << c.text;
    EXPECT_EQ(numbers.others, c.others) << c.text;
}

const NumbersCase kForms[] = {
    {"Статья 5. Права", Series::Article, "5", "5", {}},
    {"Статья 5", Series::Article, "5", "5", {}},
    {"Статья 65-1. Полномочия", Series::Article, "65-1", "65-1", {}},
    {"Статья 17.4. Заключительные положения", Series::Article, "17.4", "17.4", {}},
    // The layout opened a gap inside the number, or spaced out an inserted one.
    {"Статья 2.     2. Нарушение", Series::Article, "2.2", "2.2", {}},
    {"Статья 152 - 1. Клевета", Series::Article, "152-1", "152-1", {}},
    {"С т а т ь я 146. Использование", Series::Article, "146", "146", {}},
    {"Статьи 89 - 91 утратили силу", Series::Article, "89", "91", {"90", "91"}},
    {"Статьи 24-2, 25. Исключены", Series::Article, "24-2", "25", {"25"}},
    {"Статья 5, 6", Series::Article, "5", "5", {}},
    {"ГЛАВА 12", Series::Chapter, "12", "12", {}},
    {"ЧАСТЬ ВТОРАЯ", Series::Part, "2", "2", {}},
    {"Приложение N 2", Series::Appendix, "2", "2", {}},
    {"3. Порядок", Series::Numbered, "3", "3", {}},
    {"2.1. Порядок", Series::Numbered, "2.1", "2.1", {}},
    {"IV. Порядок", Series::Roman, "IV", "IV", {}},
    {"5.", Series::None, "", "", {}},
    // Past the digits a reader takes for a number there is none.
    {"Статья 123456789. Права", Series::Article, "", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Numbers, HeadingNumberForms, testing::ValuesIn(kForms));
} // namespace
