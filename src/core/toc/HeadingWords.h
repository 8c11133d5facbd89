#pragma once
// The words of the headings of legal documents, each spelled here once, in capitals and in code page
// 1251: the passes that find headings, lay out their entries and read their numbers take them from
// here, and the messages about a table of contents the forms that name them. Other forms of a word
// are made from its one spelling: SentenceCase gives «Статья», as a heading in the text opens with it.

#include <string>
#include <string_view>

// The § of a DOS text, where the code page has none of its own (byte 0x15), and of the editor's code page.
constexpr char kDosSectionSign = 0x15;
constexpr char kSectionSign = static_cast<char>(0xA7);

// How the messages about a table of contents name headings of one kind, in small letters: «После
// статьи 63 идёт статья 65: нет статьи 64».
struct HeadingNames
{
    std::string nominative;   // статья
    std::string genitive;     // статьи
    std::string plural;       // статей, the genitive of several
    std::string accusative;   // статью
    std::string instrumental; // статьёй
    std::string nested;       // вложена, in the word's gender
    std::string first;        // первой: how the first of a series comes, in the word's gender
};

struct HeadingVocabulary
{
    std::string article;       // СТАТЬЯ
    std::string articleShort;  // ст., as a reference to an article writes it
    std::string chapter;       // ГЛАВА
    std::string section;       // РАЗДЕЛ
    std::string subsection;    // ПОДРАЗДЕЛ
    std::string part;          // ЧАСТЬ
    std::string generalPart;   // ОБЩАЯ ЧАСТЬ
    std::string specialPart;   // ОСОБЕННАЯ ЧАСТЬ
    std::string paragraph;     // ПАРАГРАФ, the § spelled out
    std::string paragraphSign; // §
    std::string appendix;      // ПРИЛОЖЕНИЕ
    std::string table;         // ТАБЛИЦА
    std::string form;          // ФОРМА
    std::string approved; // УТВЕРЖДЕН, the stem of an approval stamp (УТВЕРЖДЕНЫ, Утверждено)
    std::string numberSign; // № of «Приложение № 2» (a text without the sign writes N)

    // The plurals with which one heading names several: «Статьи 89 – 101 утратили силу».
    std::string articles;       // СТАТЬИ
    std::string chapters;       // ГЛАВЫ
    std::string sections;       // РАЗДЕЛЫ
    std::string subsections;    // ПОДРАЗДЕЛЫ
    std::string parts;          // ЧАСТИ
    std::string paragraphSigns; // §§
    std::string appendices;     // ПРИЛОЖЕНИЯ

    HeadingNames articleNames;
    HeadingNames chapterNames;
    HeadingNames sectionNames;
    HeadingNames subsectionNames;
    HeadingNames partNames;
    HeadingNames paragraphNames;
    HeadingNames appendixNames;
    HeadingNames headingNames; // заголовок: a heading known by its number alone («IV.», «2.1.»)
};

const HeadingVocabulary& HeadingWords();

// «Статья» of «СТАТЬЯ»: the first letter as it is, the others small.
std::string SentenceCase(std::string_view word);
