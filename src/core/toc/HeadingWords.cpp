#include "core/toc/HeadingWords.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"

namespace
{
// The names of the headings that begin with word; the other forms as UTF-8.
HeadingNames NamesOf(const std::string& word, const char* genitive, const char* plural,
                     const char* accusative, const char* instrumental, const char* nested, const char* first)
{
    return {ToLower(word),
            Utf8ToCp1251(genitive),
            Utf8ToCp1251(plural),
            Utf8ToCp1251(accusative),
            Utf8ToCp1251(instrumental),
            Utf8ToCp1251(nested),
            Utf8ToCp1251(first)};
}
} // namespace

const HeadingVocabulary& HeadingWords()
{
    static const HeadingVocabulary words = []
    {
        HeadingVocabulary w;
        w.article = Utf8ToCp1251("СТАТЬЯ");
        w.articleShort = Utf8ToCp1251("ст.");
        w.chapter = Utf8ToCp1251("ГЛАВА");
        w.section = Utf8ToCp1251("РАЗДЕЛ");
        w.subsection = Utf8ToCp1251("ПОДРАЗДЕЛ");
        w.part = Utf8ToCp1251("ЧАСТЬ");
        w.generalPart = Utf8ToCp1251("ОБЩАЯ ") + w.part;
        w.specialPart = Utf8ToCp1251("ОСОБЕННАЯ ") + w.part;
        w.paragraph = Utf8ToCp1251("ПАРАГРАФ");
        w.paragraphSign = Utf8ToCp1251("§");
        w.appendix = Utf8ToCp1251("ПРИЛОЖЕНИЕ");
        w.table = Utf8ToCp1251("ТАБЛИЦА");
        w.form = Utf8ToCp1251("ФОРМА");
        w.approved = Utf8ToCp1251("УТВЕРЖДЕН");
        w.numberSign = Utf8ToCp1251("№");
        w.articles = Utf8ToCp1251("СТАТЬИ");
        w.chapters = Utf8ToCp1251("ГЛАВЫ");
        w.sections = Utf8ToCp1251("РАЗДЕЛЫ");
        w.subsections = Utf8ToCp1251("ПОДРАЗДЕЛЫ");
        w.parts = Utf8ToCp1251("ЧАСТИ");
        w.paragraphSigns = w.paragraphSign + w.paragraphSign;
        w.appendices = Utf8ToCp1251("ПРИЛОЖЕНИЯ");

        w.articleNames = NamesOf(w.article, "статьи", "статей", "статью", "статьёй", "вложена", "первой");
        w.chapterNames = NamesOf(w.chapter, "главы", "глав", "главу", "главой", "вложена", "первой");
        w.sectionNames = NamesOf(w.section, "раздела", "разделов", "раздел", "разделом", "вложен", "первым");
        w.subsectionNames =
            NamesOf(w.subsection, "подраздела", "подразделов", "подраздел", "подразделом", "вложен", "первым");
        w.partNames = NamesOf(w.part, "части", "частей", "часть", "частью", "вложена", "первой");
        const std::string& sign = w.paragraphSign;
        w.paragraphNames = {sign, sign, w.paragraphSigns, sign, sign, Utf8ToCp1251("вложен"), Utf8ToCp1251("первым")};
        w.appendixNames =
            NamesOf(w.appendix, "приложения", "приложений", "приложение", "приложением", "вложено", "первым");
        w.headingNames = NamesOf(Utf8ToCp1251("ЗАГОЛОВОК"), "заголовка", "заголовков", "заголовок",
                                 "заголовком", "вложен", "первым");
        return w;
    }();
    return words;
}

std::string SentenceCase(std::string_view word)
{
    std::string text = ToLower(word);
    if (!text.empty())
        text.front() = word.front();
    return text;
}
