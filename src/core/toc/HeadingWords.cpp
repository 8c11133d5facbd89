#include "core/toc/HeadingWords.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"

const HeadingVocabulary& HeadingWords()
{
    static const HeadingVocabulary words = []
    {
        HeadingVocabulary w;
        w.article = Utf8ToCp1251("СТАТЬЯ");
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
