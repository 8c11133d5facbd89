// Appendices that stand in the text without caption and title blocks.

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/ItemCleaning.h"

#include <algorithm>
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
constexpr int kMaxTitleLines = 16;

bool StartsWithCapital(const std::string& text)
{
    return !text.empty() && IsUpperLetter(static_cast<unsigned char>(text.front()));
}

bool StartsWithSmallLetter(const std::string& text)
{
    return !text.empty() && IsLowerLetter(static_cast<unsigned char>(text.front()));
}

// The line that names the act an appendix belongs to ends with its date or number: «от 31 октября
// 2019 г. № 626», «от 24.12.2013 N 1112».
bool HoldsDateOrNumber(const std::string& line)
{
    static const std::string numberSign = Utf8ToCp1251("№");
    static const std::string year = Utf8ToCp1251(" г.");
    const bool digit =
        std::any_of(line.begin(), line.end(), [](char c) { return IsDigit(static_cast<unsigned char>(c)); });
    return digit && (line.find(numberSign) != std::string::npos || line.find(" N ") != std::string::npos ||
                     line.find(year) != std::string::npos);
}

bool IsBodyStart(const std::string& trimmed)
{
    return IsNumberedLine(trimmed) || ReadHeadingStart(trimmed).word != HeadingWord::None;
}

// A caption stands at the right margin, or alone in a short paragraph of short lines.
bool IsCaption(const CPlainTextView& view, int i, const HeadingStart& start)
{
    const std::string& line = view.Line(i);
    const std::string trimmed = Trim(line);
    if (trimmed.size() > kMaxCaptionLength || !StartsWithCapital(trimmed) || EndsLikeSentence(trimmed))
        return false;
    const bool atRightMargin = line.find_first_not_of(' ') >= kRightMarginIndent;
    // «Утверждено» in the body is a word of a sentence; a stamp is in capitals.
    if (start.word == HeadingWord::Approval && !atRightMargin &&
        !IsUpperLetter(static_cast<unsigned char>(trimmed[1])))
        return false;
    if (atRightMargin)
        return true;
    int end = i;
    while (end < view.LineCount() && view.IsText(end) && end - i <= kMaxCaptionParagraph)
    {
        if (Trim(view.Line(end)).size() > kMaxCaptionLength)
            return false;
        ++end;
    }
    return end - i <= kMaxCaptionParagraph;
}

// One past the last line of the caption that begins at line i: the lines that name the act the
// appendix belongs to and the approval stamps, up to the line with the act's date or number.
int CaptionEnd(const CPlainTextView& view, int i, const HeadingStart& start)
{
    const int n = view.LineCount();
    bool awaitingDate = start.word == HeadingWord::Approval;
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
        bool caption = false;
        if (word == HeadingWord::Approval)
        {
            caption = true;
            awaitingDate = true;
        }
        else if (StartsWithSmallLetter(trimmed) ||
                 (awaitingDate && word == HeadingWord::None && trimmed.size() <= kMaxCaptionLength))
            caption = true;
        if (!caption)
            break;
        if (HoldsDateOrNumber(trimmed))
            awaitingDate = false;
        last = j;
        ++captionLines;
    }
    return last + 1;
}

// The title after a caption: the first text line after it (or the title block that follows it),
// when it begins with a capital letter and no heading or clause, with the lines that continue it
// (also a line in a paragraph of its own that carries on in small letters). A paragraph that runs
// on longer, or ends like a sentence, is body text: no title then.
std::vector<std::string> AppendixTitle(const CPlainTextView& view, int from)
{
    const int n = view.LineCount();
    auto readable = [&view](int i) { return view.IsText(i) || view.IsTitleBlockText(i); };
    int j = from;
    while (j < n && j - from < kMaxCaptionGap + 2 && !readable(j) &&
           (IsBlankLine(view.Line(j)) || IsMarkerLine(view.Line(j))))
        ++j;
    if (j >= n || !readable(j))
        return {};
    const std::string first = Trim(view.Line(j));
    if (!StartsWithCapital(first) || IsBodyStart(first))
        return {};
    std::vector<std::string> title;
    for (int k = j;;)
    {
        for (; k < n && readable(k); ++k)
        {
            const std::string line = Trim(view.Line(k));
            if (IsBodyStart(line))
                return title;
            if (static_cast<int>(title.size()) == kMaxTitleLines)
                return {};
            title.push_back(line);
        }
        // A title set one line to a paragraph goes on in small letters after a blank line.
        int next = k;
        while (next < n && next - k < 3 && !readable(next) && IsBlankLine(view.Line(next)))
            ++next;
        if (next == k || next >= n || !readable(next) || !StartsWithSmallLetter(Trim(view.Line(next))))
            return EndsLikeSentence(title.back()) ? std::vector<std::string>{} : title;
        k = next;
    }
}
} // namespace

bool CollectPlainAppendices(const CPlainTextView& view, std::vector<TocItem>& items)
{
    std::unordered_set<int> taken;
    for (const TocItem& item : items)
        taken.insert(item.line);

    bool collected = false;
    for (int i = 0; i < view.LineCount(); ++i)
    {
        if (!view.StartsParagraph(i))
            continue;
        const HeadingStart start = ReadHeadingStart(view.Line(i));
        if ((start.word != HeadingWord::Appendix && start.word != HeadingWord::Approval) ||
            !IsCaption(view, i, start))
            continue;
        const std::string first = Trim(view.Line(i));
        const int captionEnd = CaptionEnd(view, i, start);
        std::vector<std::string> entry = AppendixTitle(view, captionEnd);
        if (entry.empty())
            continue;
        const int position = view.HeadingPosition(i);
        if (start.word == HeadingWord::Appendix)
        {
            entry.insert(entry.begin(), first + ".");
            FixAppendixNumber(entry.front());
        }
        if (!taken.count(position) && !taken.count(i))
        {
            items.push_back(TocItem{kKindAppendix, position, 0, std::move(entry)});
            collected = true;
        }
        i = captionEnd - 1;
    }
    return collected;
}
