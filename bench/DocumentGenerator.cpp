#include "DocumentGenerator.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"

#include <array>
#include <charconv>
#include <unordered_map>
#include <vector>

namespace
{
// splitmix64: tiny, fast and the same on every platform, unlike the standard distributions.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [low, high].
    int Between(int low, int high)
    {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <typename List> const auto& Pick(const List& list) { return list[Next() % list.size()]; }

private:
    std::uint64_t m_state;
};

std::vector<std::string> ToMemoryForm(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> result;
    for (const char* text : utf8)
        result.push_back(Utf8ToCp1251(text));
    return result;
}

const std::vector<std::string>& Words()
{
    static const std::vector<std::string> words = ToMemoryForm({
        "орган",
        "местного",
        "самоуправления",
        "порядок",
        "федерального",
        "закона",
        "настоящего",
        "сведения",
        "документов",
        "в",
        "и",
        "на",
        "по",
        "с",
        "о",
        "для",
        "соответствии",
        "реестра",
        "право",
        "обязан",
        "обеспечивает",
        "устанавливает",
        "учет",
        "хранение",
        "фонда",
        "библиотеки",
        "граждан",
        "организаций",
        "пользования",
        "имущества",
        "государственной",
        "власти",
        "субъектов",
        "Российской",
        "Федерации",
        "заявления",
        "рассмотрения",
        "результатам",
        "течение",
        "дней",
        "со",
        "дня",
        "поступления",
        "запроса",
        "предоставляется",
        "бесплатно",
        "лица",
        "решению",
        "комиссии",
        "создаваемой",
        "руководителем",
        "требования",
        "условия",
        "исключающих",
        "проверку",
        "наличия",
        "не",
        "реже",
        "одного",
        "раза",
        "года",
        "сроки",
        "контроль",
        "исполнением",
        "полномочия",
        "территории",
        "муниципального",
        "образования",
        "водного",
        "объекта",
        "площадь",
        "поверхности",
        "финансирование",
        "ассигнований",
        "предусмотренных",
        "численности",
        "работников",
        "функций",
    });
    return words;
}

const std::vector<std::string>& TitleWords()
{
    static const std::vector<std::string> words = ToMemoryForm({
        "Общие положения",
        "Основные понятия",
        "Порядок учета",
        "Права и обязанности",
        "Хранение документов",
        "Предоставление сведений",
        "Контроль и надзор",
        "Ответственность сторон",
        "Финансовое обеспечение",
        "Заключительные положения",
        "Переходные положения",
        "Порядок рассмотрения",
        "Состав сведений",
        "Полномочия органов",
        "Учет имущества",
        "Исключение из реестра",
    });
    return words;
}

const std::string& Text(const char* utf8)
{
    // Each literal is converted once, keyed by its address.
    thread_local std::unordered_map<const char*, std::string> cache;
    auto [found, added] = cache.try_emplace(utf8);
    if (added)
        found->second = Utf8ToCp1251(utf8);
    return found->second;
}

std::string Roman(int number)
{
    static const std::array<std::pair<int, const char*>, 13> digits{{{1000, "M"},
                                                                     {900, "CM"},
                                                                     {500, "D"},
                                                                     {400, "CD"},
                                                                     {100, "C"},
                                                                     {90, "XC"},
                                                                     {50, "L"},
                                                                     {40, "XL"},
                                                                     {10, "X"},
                                                                     {9, "IX"},
                                                                     {5, "V"},
                                                                     {4, "IV"},
                                                                     {1, "I"}}};
    std::string result;
    for (const auto& [value, digit] : digits)
        for (; number >= value; number -= value)
            result += digit;
    return result;
}

std::string Centred(const std::string& text, std::size_t width = 66)
{
    return std::string(text.size() < width ? (width - text.size()) / 2 : 0, ' ') + text;
}

std::string RightAligned(const std::string& text, std::size_t width = 66)
{
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
}

// Collects memory-form lines and writes them out in the file form as it goes.
class DocumentWriter
{
public:
    explicit DocumentWriter(std::size_t reserve) { m_bytes.reserve(reserve + 4096); }

    void Line(const std::string& line1251)
    {
        if (!m_first)
            m_bytes += "\r\n";
        m_first = false;
        std::string line866 = Cp1251ToCp866(line1251);
        CodesToBoxChars(line866);
        m_bytes += line866;
    }
    void Empty() { Line({}); }
    void Block(Marker marker, const std::vector<std::string>& lines)
    {
        Line(MarkerLine(marker));
        for (const std::string& line : lines)
            Line(line);
        Line(MarkerLine(Marker::End));
    }
    std::size_t Size() const { return m_bytes.size(); }
    std::string Take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
    bool m_first = true;
};

void Header(DocumentWriter& out, const char* kind)
{
    for (const char* line :
         {"$1  Вид документа", kind, "$3  Дата принятия", "12.03.2021", "$100  Дата ввода/изменения",
          "12.03.2021", "$101  Дата ввода текста", "12.03.2021", "$18  Текст документа"})
        out.Line(Text(line));
}

std::string Sentence(Random& random)
{
    std::string sentence;
    const int count = random.Between(6, 22);
    for (int i = 0; i < count; ++i)
    {
        if (i > 0)
            sentence += random.Chance(8) ? ", " : " ";
        sentence += random.Pick(Words());
    }
    sentence[0] = ToUpperChar(sentence[0]);
    return sentence + ".";
}

// A paragraph of body text: first line indented by five, wrapped at 66 columns.
void Paragraph(DocumentWriter& out, const std::string& text)
{
    std::string line = "     ";
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view word(text.data() + start, end - start);
        if (line.size() + word.size() + 1 > 66 && !line.empty())
        {
            out.Line(line);
            line.clear();
        }
        if (!line.empty() && line.back() != ' ')
            line += ' ';
        line += word;
        start = end + 1;
    }
    if (!line.empty())
        out.Line(line);
    out.Empty();
}

void BodyText(DocumentWriter& out, Random& random, int paragraphs)
{
    for (int p = 0; p < paragraphs; ++p)
    {
        std::string text;
        const int sentences = random.Between(1, 4);
        for (int s = 0; s < sentences; ++s)
        {
            if (s > 0)
                text += ' ';
            text += Sentence(random);
        }
        Paragraph(out, text);
    }
}

// A table drawn with single-line box characters (held as the box codes in memory).
void SingleLineTable(DocumentWriter& out, Random& random)
{
    const int rows = random.Between(3, 8);
    std::vector<std::string> lines;
    lines.push_back(Text("┌───────────────────────────┬───────────┬───────────┬───────────┐"));
    lines.push_back(Text("│   Показатель              │ Поступило │  Выбыло   │ Состоит   │"));
    lines.push_back(Text("├───────────────────────────┼───────────┼───────────┼───────────┤"));
    for (int r = 0; r < rows; ++r)
    {
        std::string cell = random.Pick(Words());
        cell.resize(25, ' ');
        lines.push_back(Text("│ ") + cell + Text(" │ ") + std::to_string(random.Between(1000, 9999)) +
                        "      " + Text("│ ") + std::to_string(random.Between(100, 999)) + "       " +
                        Text("│ ") + std::to_string(random.Between(1000, 9999)) + "      " + Text("│"));
    }
    lines.push_back(Text("└───────────────────────────┴───────────┴───────────┴───────────┘"));
    out.Block(Marker::Tab, lines);
    out.Empty();
}

// A form drawn with double-line box characters (stand-in bytes in memory).
void DoubleLineForm(DocumentWriter& out, Random& random)
{
    std::vector<std::string> lines;
    lines.push_back(Text("╔══════╤════════════════════════════════╤════════════════════════╗"));
    lines.push_back(Text("║ N п/п│ Наименование сведений          │ Содержание сведений    ║"));
    lines.push_back(Text("╟──────┼────────────────────────────────┼────────────────────────╢"));
    const int rows = random.Between(3, 10);
    for (int r = 1; r <= rows; ++r)
    {
        std::string number = "  " + std::to_string(r);
        number.resize(6, ' ');
        std::string cell = random.Pick(TitleWords());
        cell.resize(31, ' ');
        lines.push_back(Text("║") + number + Text("│ ") + cell + Text("│                        ║"));
    }
    lines.push_back(Text("╚══════╧════════════════════════════════╧════════════════════════╝"));
    out.Block(Marker::Tab, lines);
    out.Empty();
}

std::string GenerateLaw(std::size_t targetBytes, Random& random)
{
    DocumentWriter out(targetBytes);
    Header(out, "Закон");
    out.Block(Marker::Zag,
              {Centred(Text("РОССИЙСКАЯ ФЕДЕРАЦИЯ")), "", Centred(Text("ФЕДЕРАЛЬНЫЙ ЗАКОН")), "",
               Centred(ToUpper(Text("О ") + random.Pick(Words()) + " " + random.Pick(Words())))});
    out.Empty();
    out.Line(Text("     Принят Государственной Думой             17 февраля 2021 года"));
    out.Line(Text("     Одобрен Советом Федерации                   3 марта 2021 года"));
    out.Empty();

    int section = 0;
    int chapter = 0;
    int article = 0;
    while (out.Size() < targetBytes)
    {
        if (chapter % 10 == 0)
        {
            ++section;
            out.Block(Marker::Zag, {Centred(Text("РАЗДЕЛ ") + Roman(section) + ". " +
                                            ToUpper(random.Pick(TitleWords())))});
            out.Empty();
        }
        ++chapter;
        out.Block(Marker::Zag,
                  {Centred(Text("Глава ") + std::to_string(chapter) + ". " + random.Pick(TitleWords()))});
        out.Empty();
        const int subdivisions = random.Chance(30) ? random.Between(2, 3) : 1;
        for (int sub = 1; sub <= subdivisions && out.Size() < targetBytes; ++sub)
        {
            if (subdivisions > 1)
            {
                out.Block(Marker::Cnt, {Centred(std::to_string(sub) + ". " + random.Pick(TitleWords()))});
                out.Empty();
            }
            const int articles = random.Between(2, 6);
            for (int a = 0; a < articles && out.Size() < targetBytes; ++a)
            {
                ++article;
                out.Line(Text("     Статья ") + std::to_string(article) + ". " + random.Pick(TitleWords()) +
                         " " + random.Pick(Words()));
                out.Empty();
                BodyText(out, random, random.Between(1, 4));
                if (random.Chance(5))
                    SingleLineTable(out, random);
            }
        }
    }
    out.Empty();
    out.Line(Text("     Президент"));
    out.Line(Text("     Российской Федерации                                 Н.Сомов"));
    return out.Take();
}

std::string GenerateDecree(std::size_t targetBytes, Random& random)
{
    DocumentWriter out(targetBytes);
    Header(out, "Постановление");
    out.Block(Marker::Zag,
              {Centred(Text("ПРАВИТЕЛЬСТВО РОССИЙСКОЙ ФЕДЕРАЦИИ")), "", Centred(Text("ПОСТАНОВЛЕНИЕ")), "",
               Centred(Text("от 14 апреля 2020 г. N 512")), "", Centred(Text("МОСКВА")), "",
               Centred(Text("ОБ УТВЕРЖДЕНИИ ПРАВИЛ ВЕДЕНИЯ РЕЕСТРА")),
               Centred(ToUpper(random.Pick(Words()) + " " + random.Pick(Words())))});
    out.Empty();
    out.Line(Text("     Правительство Российской Федерации постановляет:"));
    out.Empty();
    BodyText(out, random, 3);
    out.Line(Text("     Председатель Правительства"));
    out.Line(Text("     Российской Федерации                                М.Лунев"));
    out.Empty();
    out.Block(Marker::Prv,
              {RightAligned(Text("Утверждены")), RightAligned(Text("постановлением Правительства")),
               RightAligned(Text("Российской Федерации")), RightAligned(Text("от 14 апреля 2020 г. N 512"))});
    out.Empty();
    out.Block(Marker::Zag,
              {Centred(Text("ПРАВИЛА")), Centred(Text("ВЕДЕНИЯ РЕЕСТРА ОБЩЕСТВЕННЫХ ВОДОЕМОВ"))});
    out.Empty();
    // The rules take about a tenth of the document, the appendices the rest, so the number of
    // appendices grows with the size (hundreds from a few megabytes on).
    int rulesSection = 0;
    while (out.Size() < targetBytes / 10 + 2048)
    {
        ++rulesSection;
        out.Block(Marker::Cnt, {Centred(std::to_string(rulesSection) + ". " + random.Pick(TitleWords()))});
        out.Empty();
        BodyText(out, random, random.Between(2, 5));
    }
    int appendix = 0;
    while (out.Size() < targetBytes)
    {
        ++appendix;
        std::vector<std::string> caption{
            RightAligned(Text("Приложение N ") + std::to_string(appendix) + Text(" к Правилам ведения")),
            RightAligned(Text("реестра общественных водоемов"))};
        const bool form = random.Chance(40);
        if (form)
        {
            caption.push_back("");
            caption.push_back(RightAligned(Text("Форма")));
        }
        out.Block(Marker::Prv, caption);
        out.Empty();
        out.Block(Marker::Zag, {Centred(ToUpper(random.Pick(TitleWords()))),
                                Centred(ToUpper(random.Pick(Words()) + " " + random.Pick(Words()) + " " +
                                                random.Pick(Words())))});
        out.Empty();
        if (form)
            DoubleLineForm(out, random);
        const int points = random.Between(3, 12);
        for (int p = 1; p <= points; ++p)
            Paragraph(out, std::to_string(p) + ". " + Sentence(random));
        if (random.Chance(20))
            SingleLineTable(out, random);
    }
    return out.Take();
}

// Nothing but headings, each followed by a blank line: the text with the most headings per byte,
// where whatever the recognition keeps per heading weighs most against the document's size.
std::string GenerateHeadings(std::size_t targetBytes, Random& random)
{
    DocumentWriter out(targetBytes);
    Header(out, "Закон");
    int article = 0;
    while (out.Size() < targetBytes)
    {
        ++article;
        if (article % 50 == 1)
            out.Line(Text("Глава ") + std::to_string(article / 50 + 1) + ". " + random.Pick(TitleWords()));
        else
            out.Line(Text("Статья ") + std::to_string(article) + ". " + random.Pick(TitleWords()));
        out.Empty();
    }
    return out.Take();
}
} // namespace

std::string GenerateDocument(DocumentShape shape, std::size_t targetBytes, std::uint32_t seed)
{
    // Laws and decrees keep the seeds they always had, so their documents stay the same.
    Random random(seed * 2 + (shape == DocumentShape::Law ? 0 : 1));
    switch (shape)
    {
    case DocumentShape::Law:
        return GenerateLaw(targetBytes, random);
    case DocumentShape::Decree:
        return GenerateDecree(targetBytes, random);
    case DocumentShape::Headings:
        return GenerateHeadings(targetBytes, random);
    }
    return {};
}

std::string_view ShapeName(DocumentShape shape)
{
    switch (shape)
    {
    case DocumentShape::Law:
        return "law";
    case DocumentShape::Decree:
        return "decree";
    case DocumentShape::Headings:
        return "headings";
    }
    return {};
}

std::optional<DocumentShape> ShapeFromName(std::string_view name)
{
    if (name == "law")
        return DocumentShape::Law;
    if (name == "decree")
        return DocumentShape::Decree;
    if (name == "headings")
        return DocumentShape::Headings;
    return std::nullopt;
}

std::optional<std::size_t> ParseByteSize(std::string_view text)
{
    std::size_t multiplier = 1;
    if (!text.empty())
    {
        switch (text.back())
        {
        case 'K':
            multiplier = std::size_t{1} << 10;
            break;
        case 'M':
            multiplier = std::size_t{1} << 20;
            break;
        case 'G':
            multiplier = std::size_t{1} << 30;
            break;
        default:
            break;
        }
        if (multiplier != 1)
            text.remove_suffix(1);
    }
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value == 0)
        return std::nullopt;
    return value * multiplier;
}

std::string FormatByteSize(std::size_t bytes)
{
    if (bytes == 0)
        return "0";
    for (const auto& [shift, suffix] : {std::pair{30, 'G'}, std::pair{20, 'M'}, std::pair{10, 'K'}})
        if (bytes % (std::size_t{1} << shift) == 0)
            return std::to_string(bytes >> shift) + suffix;
    return std::to_string(bytes);
}
