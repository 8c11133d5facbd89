#pragma once
// Layout of one table-of-contents entry for the 66-column page: a level line of asterisks, then the
// text indented by level, word-wrapped and fully justified; numbered headings of one group can be
// aligned so that their titles start in one column. CTocItemList::LayoutEntries applies these to a
// whole list.

#include "core/toc/TocItem.h"

#include <cstddef>
#include <string>
#include <string_view>

// Every text line ends at or before this column (the width of a marker line).
constexpr int kPageWidth = 66;
// A level-L entry starts kLevelIndent * L blanks in.
constexpr int kLevelIndent = 2;
// Extra indentation of the second and later text lines.
constexpr int kContinuationIndent = 2;
// A full stop further in than this does not end a number prefix.
constexpr std::size_t kNumberPrefixLimit = 20;

// Rebuilds item.lines from its text (all lines joined with blanks) and level: the level line of
// level + 1 asterisks, then the wrapped and justified text. A word longer than the width stands
// alone on its own over-long line. A negative level is laid out as level 0.
void FormatEntry(TocItem& item);

// Re-lays a formatted entry so that its text, after the number of its first text line, starts at
// the given column; later lines are indented to that column. Entries without a text line are left.
void AlignEntry(TocItem& item, int column);

// The entry's first text line is numbered, a section heading, or an article heading with a full
// stop; appendices («ПРИЛОЖЕНИЕ…») never are.
bool IsAlignableEntry(const TocItem& item);

// Index of the first blank after the first full stop (the length of s when none follows); 0 when s
// holds no full stop.
std::size_t NumberEnd(std::string_view s);

// The words of s with the gaps widened in turn, first to last, until the line is width long.
// A single word (or an empty s) comes back as it is; a line already as long stays single-spaced.
std::string JustifyLine(std::string_view s, int width);

// s, trimmed left, is numbered, or is numbered once its first word is taken away («ГЛАВА 2. …»).
bool HasNumberWord(std::string_view s);

// Lower-cases the rest of the heading word in front of the number on the first text line
// («ГЛАВА 2. ПРАВА» becomes «Глава 2. ПРАВА»); words holding I, V or X are taken for roman numbers
// and left alone.
void LowerHeadingWord(TocItem& item);
