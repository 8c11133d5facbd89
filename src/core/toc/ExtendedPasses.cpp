#include "core/toc/ExtendedPasses.h"

#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/CollectingPasses.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"

#include <algorithm>

namespace
{
// The document's own title runs over a few lines; a title block left open runs to the end of the
// text and is read no further than this.
constexpr int kMaxDocumentTitleLines = 40;

// The upper-cased line holds the kind as a whole word or words.
bool HoldsKind(const std::string& upper, const std::string& kind)
{
    for (std::size_t at = upper.find(kind); at != std::string::npos; at = upper.find(kind, at + 1))
    {
        const std::size_t after = at + kind.size();
        if ((at == 0 || upper[at - 1] == ' ') && (after == upper.size() || upper[after] == ' '))
            return true;
    }
    return false;
}
} // namespace

int ExtendedKindOf(HeadingWord word, std::string_view line)
{
    switch (word)
    {
    case HeadingWord::Article:
        return kKindArticle;
    case HeadingWord::Chapter:
        return kKindChapter;
    case HeadingWord::Section:
    case HeadingWord::Part:
    case HeadingWord::PartName:
        return kKindSection;
    // A subsection stands between the section and the chapter, where a roman-numbered heading ranks.
    case HeadingWord::Roman:
    case HeadingWord::Subsection:
        return kKindRoman;
    case HeadingWord::Paragraph:
        return kKindNumbered;
    default:
        return StandardKindOf(line);
    }
}

int ExtendedRank(const TocItem& item)
{
    const std::string first = FirstContentLine(item.lines);
    // Only a section's rank is read from a part's words; any other heading's only from a §, which
    // begins with the sign or with the word's first letter. Most entries begin otherwise, and their
    // whole line is not read for its heading word.
    const std::size_t begin = std::min(first.find_first_not_of(" \t\n\v\f\r"), first.size());
    const char opening = begin < first.size() ? first[begin] : ' ';
    const bool maySignParagraph = opening == kDosSectionSign || opening == kSectionSign || opening == '$' ||
                                  ToUpperChar(opening) == HeadingWords().paragraph.front();
    if (item.kind != kKindSection && !maySignParagraph)
        return 2 * item.kind;
    const HeadingWord word = ReadHeadingWord(first);
    if (item.kind == kKindSection && (word == HeadingWord::Part || word == HeadingWord::PartName))
        return 2 * kKindSection - 1;
    if (word == HeadingWord::Paragraph)
        return 2 * kKindChapter + 1;
    return 2 * item.kind;
}

void RankDivisionBlocks(std::vector<TocItem>& items)
{
    for (TocItem& item : items)
    {
        // Appendices carry their level already; other kinds were read from the heading's words.
        if (item.level >= 0 || (item.kind != kKindAppendix && item.kind != kKindIndented))
            continue;
        const std::string first = FirstContentLine(item.lines);
        const HeadingWord word = ReadHeadingWord(first);
        if (word == HeadingWord::Part || word == HeadingWord::PartName || word == HeadingWord::Subsection ||
            word == HeadingWord::Paragraph)
            item.kind = ExtendedKindOf(word, first);
    }
}

void AddExtendedKindItem(const CPlainTextView& view, const CDocKindsList& kinds, std::vector<TocItem>& items)
{
    if (std::any_of(items.begin(), items.end(),
                    [](const TocItem& item) { return item.kind == kKindDocument; }))
        return;
    std::string firstLine;
    const int end = std::min(view.TitleEnd(), view.TitleBegin() + kMaxDocumentTitleLines);
    for (int i = view.TitleBegin(); i < end; ++i)
    {
        if (view.IsBlankOrMarker(i))
            continue;
        const std::string text = NormaliseSpaces(CloseUpLetterSpacing(view.Line(i)));
        if (firstLine.empty())
            firstLine = text;
        const std::string upper = ToUpper(text);
        for (const std::string& kind : kinds.Kinds())
        {
            if (!kind.empty() && HoldsKind(upper, ToUpper(kind)))
            {
                items.push_back(TocItem{kKindDocument, FindDocumentStart(view.Lines()), -1, {text}});
                return;
            }
        }
    }
    if (!firstLine.empty())
        items.push_back(TocItem{kKindDocument, FindDocumentStart(view.Lines()), -1, {firstLine}});
}
