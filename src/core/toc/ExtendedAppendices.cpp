// Appendices that stand in the text without caption and title blocks.

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/EntryLayout.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/ItemCleaning.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace
{
// A caption is a short line; one that stands this far in is at the right margin.
constexpr std::size_t kMaxCaptionLength = 60;
constexpr std::size_t kRightMarginIndent = 20;
// A caption with its approval stamp runs over a few lines at most.
constexpr int kMaxCaptionLines = 8;
// A caption standing alone is a paragraph of a few lines.
constexpr int kMaxCaptionParagraph = 4;
// Blank lines between the parts of a caption, and between the caption and the title.
constexpr int kMaxCaptionGap = 5;
// The title of an appendix may be long, but a paragraph that goes on further is body text.
constexpr int kMaxAppendixTitleLines = 16;

bool StartsWithSmallLetter(std::string_view text)
{
    return !text.empty() && IsLowerLetter(static_cast<unsigned char>(text.front()));
}

// The line that names the act an appendix belongs to ends with its date or number: «от 31 октября
// 2019 г. № 626», «от 24.12.2013 N 1112».
bool HoldsDateOrNumber(std::string_view line)
{
    const std::string& numberSign = HeadingWords().numberSign;
    static const std::string year = Utf8ToCp1251(" г.");
    const bool digit =
        std::any_of(line.begin(), line.end(), [](char c) { return IsDigit(static_cast<unsigned char>(c)); });
    return digit && (line.find(numberSign) != std::string::npos || line.find(" N ") != std::string::npos ||
                     line.find(year) != std::string::npos);
}

bool IsBodyStart(std::string_view trimmed)
{
    return IsNumberedLine(trimmed) || ReadHeadingStart(trimmed).word != HeadingWord::None;
}

// The line stands at the right of the page, not in its middle: it is indented far more than the room
// it leaves at the right margin. Centred titles leave as much room on both sides.
bool IsRightAligned(std::string_view line)
{
    const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
    const std::size_t used = TrimRight(line).size();
    const auto page = static_cast<std::size_t>(kPageWidth);
    const std::size_t room = used < page ? page - used : 0;
    return indent >= kRightMarginIndent && indent > 2 * room;
}

// A paragraph of a form that stands between its caption and its title: the addressee and the marks
// «Форма», «(рекомендуемый образец)» set at the right margin, or blanks to fill in («____________»).
// The next appendix's caption is no part of it.
bool IsFormFurniture(const CPlainTextView& view, int from)
{
    static const std::string blanks = "___";
    int k = from;
    for (; k < view.LineCount() && view.IsText(k); ++k)
    {
        std::string_view line = view.Line(k);
        if ((!IsRightAligned(line) && line.find(blanks) == std::string::npos) || IsBodyStart(Trim(line)))
            return false;
    }
    return k > from;
}

// A row of a table set in blanks or drawn with rules and bars, or a line of a form to fill in («г.
// Москва      "__" ______ 20__ г.»): its cells stand apart, or blanks are left to fill.
bool IsTableOrFormLine(std::string_view trimmed)
{
    static constexpr std::string_view columnGap = "     ";
    static constexpr std::string_view fillIn = "__";
    if (trimmed.find(columnGap) != std::string::npos || trimmed.find(fillIn) != std::string::npos)
        return true;
    const auto c = static_cast<unsigned char>(trimmed.empty() ? ' ' : trimmed.front());
    return c == '|' || c == '+' || c == '-' || c == '=' || (c >= 0x10 && c <= 0x1C);
}

// The line begins with the capital of «Приложение» or «Утверждены»: every text line is looked at, and
// only these are read further.
bool MayBeginCaption(std::string_view line)
{
    static const char appendix = HeadingWords().appendix.front();
    static const char approved = HeadingWords().approved.front();
    const std::size_t at = line.find_first_not_of(' ');
    const char first = at == std::string::npos ? ' ' : line[at];
    return first == appendix || first == approved;
}

// The caption's word with its number sign and number, without the act it belongs to that its lines
// go on to name: «Приложение N 2 к приказу» gives «Приложение N 2», «ПРИЛОЖЕНИЕ К ПРИКАЗУ» gives
// «ПРИЛОЖЕНИЕ».
std::string CaptionHeading(std::string_view trimmed)
{
    const std::string& numberSign = HeadingWords().numberSign;
    const std::vector<Word> words = SplitWords(trimmed);
    std::size_t end = words.empty() ? 0 : words.front().end;
    for (std::size_t k = 1; k < words.size(); ++k)
    {
        const std::string& text = words[k].text;
        const bool sign = text == "N" || BeginsWith(text, numberSign);
        const bool number = !text.empty() && IsDigit(static_cast<unsigned char>(text.front()));
        if (!sign && !number)
            break;
        end = words[k].end;
        if (number || text.size() > numberSign.size())
            break;
    }
    return std::string(trimmed.substr(0, end));
}

// A caption stands at the right margin, or alone in a short paragraph of short lines, or is a
// paragraph of one line that names the act with its date or number: a text whose paragraphs are
// single lines sets «Приложение № 1 к приказу ... от 17.02.2023 № 58» so. A text without blank lines
// sets it at the paragraph indent, in short lines down to the act's date or number (the caption runs
// up to line end).
bool IsCaption(const CPlainTextView& view, int i, const HeadingStart& start, int end)
{
    std::string_view line = view.Line(i);
    const std::string trimmed = Trim(line);
    const bool wholeCaption = HoldsDateOrNumber(trimmed) && !view.IsText(i + 1);
    if ((trimmed.size() > kMaxCaptionLength && !wholeCaption) || !StartsWithCapital(trimmed) ||
        EndsLikeSentence(trimmed))
        return false;
    const bool atRightMargin = line.find_first_not_of(' ') >= kRightMarginIndent;
    // «Утверждено» in the body is a word of a sentence; a stamp is in capitals.
    if (start.word == HeadingWord::Approval && !atRightMargin &&
        !IsUpperLetter(static_cast<unsigned char>(trimmed[1])))
        return false;
    if (atRightMargin || wholeCaption)
        return true;
    if (start.word == HeadingWord::Appendix && end > i + 1 && HoldsDateOrNumber(Trim(view.Line(end - 1))))
    {
        bool shortLines = true;
        for (int k = i; k < end; ++k)
            shortLines = shortLines && (!view.IsText(k) || Trim(view.Line(k)).size() <= kMaxCaptionLength);
        if (shortLines)
            return true;
    }
    end = i;
    while (end < view.LineCount() && view.IsText(end) && end - i <= kMaxCaptionParagraph)
    {
        if (Trim(view.Line(end)).size() > kMaxCaptionLength)
            return false;
        ++end;
    }
    return end - i <= kMaxCaptionParagraph;
}

// Line j, or the next text line after blank lines, names the act's date or number.
bool DateFollows(const CPlainTextView& view, int j)
{
    if (HoldsDateOrNumber(Trim(view.Line(j))))
        return true;
    int k = j + 1;
    while (k < view.LineCount() && k - j <= kMaxCaptionGap && !view.IsText(k) && IsBlankLine(view.Line(k)))
        ++k;
    return view.IsText(k) && HoldsDateOrNumber(Trim(view.Line(k)));
}

// One past the last line of the caption that begins at line i: the lines that name the act the
// appendix belongs to and the approval stamps, up to the line with the act's date or number. A
// caption at the right margin goes on in the lines set there; a caption line that ends with a comma
// goes on in the next line whatever it begins with («к Правилам,» and «Часть II»).
int CaptionEnd(const CPlainTextView& view, int i, const HeadingStart& start)
{
    const int n = view.LineCount();
    const bool rightAligned = IsRightAligned(view.Line(i));
    bool awaitingDate = start.word == HeadingWord::Approval;
    bool namingAct = false; // a line «к приказу ...» was read, the act's date or number not yet
    int last = i;
    int captionLines = 1;
    for (int j = i + 1; j < n && j - last <= kMaxCaptionGap && captionLines < kMaxCaptionLines; ++j)
    {
        if (!view.IsText(j))
        {
            if (IsBlankLine(view.Line(j)) || IsMarkerLine(view.Line(j)))
                continue;
            break;
        }
        const std::string trimmed = Trim(view.Line(j));
        const HeadingWord word = ReadHeadingStart(trimmed).word;
        const bool goesOn = j == last + 1 && !trimmed.empty() && TrimRight(view.Line(last)).back() == ',';
        bool caption = false;
        if (word == HeadingWord::Approval)
        {
            caption = true;
            awaitingDate = true;
        }
        else if (StartsWithSmallLetter(trimmed))
        {
            // «к приказу Министерства» names the act; its name may go on in capitals («Корякского
            // округа») down to its date or number, where a caption without them ends.
            caption = true;
            namingAct = !HoldsDateOrNumber(trimmed);
        }
        else if (goesOn ||
                 (rightAligned && j == last + 1 && IsRightAligned(view.Line(j)) &&
                  word == HeadingWord::None) ||
                 (awaitingDate && word == HeadingWord::None && trimmed.size() <= kMaxCaptionLength) ||
                 (namingAct && word == HeadingWord::None && trimmed.size() <= kMaxCaptionLength &&
                  DateFollows(view, j)))
            caption = true;
        if (!caption)
            break;
        if (HoldsDateOrNumber(trimmed))
            awaitingDate = namingAct = false;
        last = j;
        ++captionLines;
    }
    return last + 1;
}

struct AppendixTitleLines
{
    std::vector<std::string> lines;
    int titleBlock = -1; // the opening marker of the title block the title stands in
    int end = 0;         // one past the title's last line
};

// The title after a caption: the first text line after it (or the title block that follows it),
// past the paragraphs of a form's addressee, when it begins with a capital letter and no heading or
// clause, with the lines that continue it (also a line in a paragraph of its own that carries on in
// small letters). A paragraph that runs on longer, or ends like a sentence, is body text: no title
// then.
AppendixTitleLines AppendixTitle(const CPlainTextView& view, int from)
{
    const int n = view.LineCount();
    auto readable = [&view](int i) { return view.IsText(i) || view.IsTitleBlockText(i); };
    int j = from;
    for (;;)
    {
        const int gapStart = j;
        while (j < n && j - gapStart < kMaxCaptionGap + 2 && !readable(j) &&
               (IsBlankLine(view.Line(j)) || IsMarkerLine(view.Line(j))))
            ++j;
        if (j >= n || !readable(j))
            return {};
        if (!IsFormFurniture(view, j))
            break;
        while (j < n && view.IsText(j))
            ++j;
    }
    AppendixTitleLines found;
    if (view.IsTitleBlockText(j))
    {
        found.titleBlock = j - 1;
        while (found.titleBlock > 0 && !IsMarkerLine(view.Line(found.titleBlock)))
            --found.titleBlock;
    }
    std::vector<std::string>& title = found.lines;
    const std::string first = Trim(view.Line(j));
    if (!StartsWithCapital(first) || IsBodyStart(first))
        return {};
    for (int k = j;;)
    {
        for (; k < n && readable(k); ++k)
        {
            const std::string line = Trim(view.Line(k));
            if (IsBodyStart(line) || (k > j && IsTableOrFormLine(line)))
            {
                found.end = k;
                return found;
            }
            if (static_cast<int>(title.size()) == kMaxAppendixTitleLines)
                return {};
            title.push_back(line);
        }
        // A title set one line to a paragraph goes on in small letters after a blank line.
        int next = k;
        while (next < n && next - k < 3 && !readable(next) && IsBlankLine(view.Line(next)))
            ++next;
        if (next == k || next >= n || !readable(next) || !StartsWithSmallLetter(Trim(view.Line(next))) ||
            IsTableOrFormLine(Trim(view.Line(next))))
        {
            found.end = k;
            return EndsLikeSentence(title.back()) ? AppendixTitleLines{} : found;
        }
        k = next;
    }
}

// The title blocks that hold the titles of appendices became items of the block passes; the
// appendices' entries carry those titles now, so the blocks' own items go. absorbed: the opening
// marker of each such block with the first line of the title, in capitals and single-spaced.
void DropTitleBlockItems(std::vector<TocItem>& items, const std::unordered_map<int, std::string>& absorbed)
{
    if (absorbed.empty())
        return;
    std::erase_if(items,
                  [&absorbed](const TocItem& item)
                  {
                      const auto it = absorbed.find(item.line);
                      return it != absorbed.end() && item.level < 0 &&
                             ToUpper(NormaliseSpaces(FirstContentLine(item.lines))) == it->second;
                  });
}
} // namespace

AppendixEntry ReadAppendixEntry(const CPlainTextView& view, int line)
{
    AppendixEntry entry;
    const HeadingStart start = ReadHeadingStart(view.Line(line));
    if (start.word != HeadingWord::Appendix && start.word != HeadingWord::Approval)
        return entry;
    const int captionEnd = CaptionEnd(view, line, start);
    if (!IsCaption(view, line, start, captionEnd))
        return entry;
    entry.captionEnd = captionEnd;
    AppendixTitleLines title = AppendixTitle(view, captionEnd);
    if (title.lines.empty())
        return entry;
    if (title.titleBlock >= 0)
        entry.titleBlockFirstLine = ToUpper(NormaliseSpaces(title.lines.front()));
    entry.titleBlock = title.titleBlock;
    entry.titleEnd = title.end;
    entry.lines = std::move(title.lines);
    if (start.word == HeadingWord::Appendix)
    {
        entry.lines.insert(entry.lines.begin(), CaptionHeading(Trim(view.Line(line))) + ".");
        FixAppendixNumber(entry.lines.front());
    }
    return entry;
}

bool CollectPlainAppendices(const CPlainTextView& view, std::vector<TocItem>& items,
                            std::vector<char>& captionLines)
{
    captionLines.assign(static_cast<std::size_t>(view.LineCount()), 0);
    std::unordered_set<int> taken;
    for (const TocItem& item : items)
        taken.insert(item.line);

    bool collected = false;
    std::unordered_map<int, std::string> absorbed;
    for (int i = 0; i < view.LineCount(); ++i)
    {
        // A caption may follow a signature without a blank line: whether a line that begins so is one
        // is read from the caption's own shape.
        if (!view.IsText(i) || !MayBeginCaption(view.Line(i)))
            continue;
        AppendixEntry entry = ReadAppendixEntry(view, i);
        if (entry.lines.empty())
            continue;
        std::fill(captionLines.begin() + static_cast<std::ptrdiff_t>(i),
                  captionLines.begin() + static_cast<std::ptrdiff_t>(std::max(entry.captionEnd, entry.titleEnd)), 1);
        const int position = view.HeadingPosition(i);
        if (!taken.count(position) && !taken.count(i))
        {
            if (entry.titleBlock >= 0)
                absorbed.emplace(entry.titleBlock, std::move(entry.titleBlockFirstLine));
            items.push_back(TocItem{kKindAppendix, position, 0, std::move(entry.lines)});
            collected = true;
        }
        i = entry.captionEnd - 1;
    }
    DropTitleBlockItems(items, absorbed);
    return collected;
}

void AnchorAppendicesAtCaptions(const CTextLines& lines, std::vector<TocItem>& items)
{
    static const std::string appendix = SentenceCase(HeadingWords().appendix);
    for (TocItem& item : items)
    {
        if (item.kind != kKindAppendix || item.level != 0)
            continue;
        // The caption block is a few lines; an appendix that starts above its block is left alone.
        bool caption = false;
        const int top = std::max(0, item.line - kMaxCaptionLines);
        for (int k = item.line - 1; k >= top && k < static_cast<int>(lines.size()); --k)
        {
            std::string_view line = lines[static_cast<std::size_t>(k)];
            if (IsMarker(line, Marker::Prv))
            {
                if (caption)
                    item.line = k;
                break;
            }
            if (IsMarkerLine(line) && (IsBlockStart(line) || BeginsWithMarker(line, Marker::End)))
                break;
            caption = caption || line.find(appendix) != std::string::npos;
        }
    }
}
