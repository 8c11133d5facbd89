#pragma once
// How a line begins, as a reader of a plain text tells a heading from the body: the heading word
// (Статья, Глава, Раздел, Часть, a numbered heading, an appendix caption or an approval stamp) and
// the number that follows it. Pure functions of one line in code page 1251.

#include <string>
#include <string_view>

enum class HeadingWord
{
    None,
    Article, // «Статья 5.», «Статья 18-1.», «Статья 1.1.», «С т а т ь я  5.», «Статья 5»
    Chapter, // «Глава 1.», «ГЛАВА ПЕРВАЯ», «Глава 12.1.»
    Section, // «РАЗДЕЛ I», «Раздел II. Название», «РАЗДЕЛ ПЕРВЫЙ»
    Subsection, // «Подраздел 1. Название», «ПОДРАЗДЕЛ II»
    Part,       // «ЧАСТЬ ПЕРВАЯ», «Часть 2.»
    PartName,   // «ОБЩАЯ ЧАСТЬ», «ОСОБЕННАЯ ЧАСТЬ»
    Paragraph, // «§ 1. Залог», «$ 1. Залог» (a text that lost its §), «Параграф 1.»
    Roman,     // «IV. Название»
    Numbered,  // «1. Название», «2.1. Название»
    Appendix,  // «Приложение», «Приложение N 2 к приказу ...»
    Approval,  // «УТВЕРЖДЕНЫ», «Утверждено»
};

struct HeadingStart
{
    HeadingWord word = HeadingWord::None;
    std::string number; // the number as written, with its closing full stop («18-1.», «ПЕРВАЯ», «IV.»)
    bool closed = false; // the number ends with a full stop
    std::string title;   // what follows the number on the line, trimmed
};

// The heading word the line begins with (after leading white space; a letter-spaced word such as
// «С т а т ь я» is read as one word), its number and the title after it. A word that is followed by
// no number of its kind, a numbered line without a full stop after its number, and a row of a table
// drawn with box characters give None.
HeadingStart ReadHeadingStart(std::string_view line);
// ReadHeadingStart(line).word, without copying the number and title.
HeadingWord ReadHeadingWord(std::string_view line);

// The line, trimmed left, with a letter-spaced first word closed up: «З А К О Н» gives «ЗАКОН»,
// «С т а т ь я  5.» gives «Статья 5.». Other lines as they are.
std::string CloseUpLetterSpacing(std::string_view line);

// «5», «5.», «18-1.», «1.1.», «12.1-2.», «12а.», «5<1>.», «5^1.»: an article's number.
bool IsArticleNumber(std::string_view token);

// The last character of the text, trimmed right, is one that goes on into a sentence or ends one
// in the body: ".", ",", ";", ":", or the dash of «Нарушение правил ... -» that the sanction follows.
bool EndsLikeSentence(std::string_view text);
