#include "core/base/CTextLines.h"

#include "core/base/FileLines.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

namespace
{

// Below this many unread bytes the buffer is never rebuilt: small texts are not worth the pass.
constexpr std::size_t kMinWasteToCompact = 1 << 16;

} // namespace

CTextLines::CTextLines(std::initializer_list<std::string_view> lines)
{
    m_refs.reserve(lines.size());
    for (std::string_view line : lines)
        PushBack(line);
}

CTextLines::CTextLines(const std::vector<std::string>& lines)
{
    m_refs.reserve(lines.size());
    for (const std::string& line : lines)
        PushBack(line);
}

CTextLines::CTextLines(const CTextLines& other, std::size_t first, std::size_t count)
{
    m_refs.reserve(count);
    for (std::size_t i = first; i < first + count; ++i)
        PushBack(other[i]);
}

CTextLines& CTextLines::operator=(CTextLines&& other) noexcept
{
    if (this == &other)
        return *this;
    std::string(std::move(other.m_bytes)).swap(m_bytes);
    other.m_bytes.clear();
    m_refs = std::move(other.m_refs);
    m_lineBytes = std::exchange(other.m_lineBytes, 0);
    m_recent = other.m_recent;
    m_recentCount = std::exchange(other.m_recentCount, 0);
    return *this;
}

void CTextLines::CheckBufferSize(std::size_t size)
{
    if (size > kMaxBufferBytes)
        throw std::length_error("the text is larger than 4 GiB");
}

CTextLines CTextLines::FromFileBytes(std::string bytes, std::size_t from, std::size_t maxLines)
{
    CheckBufferSize(bytes.size());
    CTextLines lines;
    lines.m_bytes = std::move(bytes);
    const std::string_view content = std::string_view(lines.m_bytes).substr(from);
    // One reference per line end at most: the list never grows by reallocation.
    lines.m_refs.reserve(maxLines != 0 ? maxLines : MaxLineCount(content));
    ForEachFileLine(content, [&](std::string_view line)
                    { lines.AddLineAt(static_cast<std::size_t>(line.data() - lines.m_bytes.data()), line.size()); });
    return lines;
}

void CTextLines::AddLineAt(std::size_t offset, std::size_t length)
{
    m_refs.push_back(RefAt(offset, length));
    m_lineBytes += length;
}

std::optional<CTextLines::LineRef> CTextLines::InBuffer(std::string_view text) const
{
    // std::less gives a total order even for pointers into different objects.
    const char* const begin = m_bytes.data();
    const char* const end = begin + m_bytes.size();
    if (std::less<const char*>()(text.data(), begin) || std::less<const char*>()(end, text.data() + text.size()))
        return std::nullopt;
    return RefAt(static_cast<std::size_t>(text.data() - begin), text.size());
}

std::vector<CTextLines::LineRef> CTextLines::PlaceAll(std::span<const std::string_view> texts)
{
    // The views into the buffer are taken first: appending the others may move the buffer.
    std::vector<LineRef> refs(texts.size());
    std::vector<char> placed(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (const std::optional<LineRef> ref = texts[i].empty() ? LineRef{} : InBuffer(texts[i]))
        {
            refs[i] = *ref;
            placed[i] = 1;
        }
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (!placed[i])
            refs[i] = Place(texts[i]);
    return refs;
}

CTextLines::LineRef CTextLines::Place(std::string_view text)
{
    if (text.empty())
        return {};
    // A view of the buffer itself (a line moved or copied within the text) is referred to as it stands.
    if (const std::optional<LineRef> ref = InBuffer(text))
        return *ref;
    for (std::size_t i = 0; i < m_recentCount; ++i)
    {
        const LineRef ref = m_recent[i];
        if (ref.length == text.size() && std::memcmp(m_bytes.data() + ref.offset, text.data(), text.size()) == 0)
        {
            // Most recent first, so the lines a pass writes again and again stay found.
            std::copy_backward(m_recent.begin(), m_recent.begin() + static_cast<std::ptrdiff_t>(i),
                               m_recent.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            m_recent[0] = ref;
            return ref;
        }
    }
    CheckBufferSize(m_bytes.size() + text.size());
    const LineRef ref = RefAt(m_bytes.size(), text.size());
    m_bytes.append(text);
    std::copy_backward(m_recent.begin(),
                       m_recent.begin() + static_cast<std::ptrdiff_t>(std::min(m_recentCount, kRecent - 1)),
                       m_recent.begin() + static_cast<std::ptrdiff_t>(std::min(m_recentCount + 1, kRecent)));
    m_recent[0] = ref;
    m_recentCount = std::min(m_recentCount + 1, kRecent);
    return ref;
}

void CTextLines::Set(std::size_t i, std::string_view text)
{
    const LineRef ref = Place(text);
    m_lineBytes = m_lineBytes - m_refs[i].length + ref.length;
    m_refs[i] = ref;
    CompactIfWasteful();
}

void CTextLines::PushBack(std::string_view text)
{
    const LineRef ref = Place(text);
    m_refs.push_back(ref);
    m_lineBytes += ref.length;
}

void CTextLines::Insert(std::size_t at, std::string_view text)
{
    const LineRef ref = Place(text);
    m_refs.insert(m_refs.begin() + static_cast<std::ptrdiff_t>(at), ref);
    m_lineBytes += ref.length;
}

void CTextLines::Insert(std::size_t at, std::span<const std::string> texts)
{
    Replace(at, 0, texts);
}

void CTextLines::Erase(std::size_t first, std::size_t count)
{
    const auto from = m_refs.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = from + static_cast<std::ptrdiff_t>(count);
    for (auto it = from; it != to; ++it)
        m_lineBytes -= it->length;
    m_refs.erase(from, to);
    CompactIfWasteful();
}

void CTextLines::Replace(std::size_t first, std::size_t count, std::span<const std::string> texts)
{
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    const std::vector<LineRef> refs = PlaceAll(views);
    const auto from = m_refs.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = from + static_cast<std::ptrdiff_t>(count);
    for (auto it = from; it != to; ++it)
        m_lineBytes -= it->length;
    for (const LineRef& ref : refs)
        m_lineBytes += ref.length;
    // Overwrite what the two runs share, then insert or erase the difference.
    const std::size_t common = std::min(count, refs.size());
    std::copy(refs.begin(), refs.begin() + static_cast<std::ptrdiff_t>(common), from);
    if (refs.size() > count)
        m_refs.insert(from + static_cast<std::ptrdiff_t>(common), refs.begin() + static_cast<std::ptrdiff_t>(common),
                      refs.end());
    else
        m_refs.erase(from + static_cast<std::ptrdiff_t>(common), to);
    CompactIfWasteful();
}

void CTextLines::Apply(const std::vector<RangeEdit>& edits)
{
    if (edits.empty())
        return;
    std::vector<std::string_view> texts;
    std::size_t newSize = m_refs.size();
    for (const RangeEdit& edit : edits)
    {
        newSize = newSize - edit.count + edit.lines.size();
        texts.insert(texts.end(), edit.lines.begin(), edit.lines.end());
    }
    const std::vector<LineRef> placed = PlaceAll(texts);
    std::vector<LineRef> refs;
    refs.reserve(newSize);
    std::size_t next = 0;
    auto added = placed.begin();
    for (const RangeEdit& edit : edits)
    {
        refs.insert(refs.end(), m_refs.begin() + static_cast<std::ptrdiff_t>(next),
                    m_refs.begin() + static_cast<std::ptrdiff_t>(edit.first));
        for (std::size_t i = edit.first; i < edit.first + edit.count; ++i)
            m_lineBytes -= m_refs[i].length;
        for (std::size_t i = 0; i < edit.lines.size(); ++i, ++added)
        {
            refs.push_back(*added);
            m_lineBytes += added->length;
        }
        next = edit.first + edit.count;
    }
    refs.insert(refs.end(), m_refs.begin() + static_cast<std::ptrdiff_t>(next), m_refs.end());
    m_refs = std::move(refs);
    CompactIfWasteful();
}

CTextLines::Rebuild::Rebuild(CTextLines& lines, std::size_t newSize)
    : m_lines(lines), m_old(std::exchange(lines.m_refs, {}))
{
    m_lines.m_refs.reserve(newSize);
    m_lines.m_lineBytes = 0;
}

void CTextLines::Rebuild::Keep(std::size_t first, std::size_t count)
{
    const auto from = m_old.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = from + static_cast<std::ptrdiff_t>(count);
    for (auto it = from; it != to; ++it)
        m_lines.m_lineBytes += it->length;
    m_lines.m_refs.insert(m_lines.m_refs.end(), from, to);
}

void CTextLines::Rebuild::Add(std::string_view text)
{
    m_lines.PushBack(text);
}

void CTextLines::Rebuild::Finish()
{
    m_old = {};
    m_lines.CompactIfWasteful();
}

void CTextLines::Clear()
{
    // Assigning empty ones would keep their storage.
    std::string().swap(m_bytes);
    std::vector<LineRef>().swap(m_refs);
    m_lineBytes = 0;
    m_recentCount = 0;
}

std::vector<std::string> CTextLines::ToVector() const
{
    return {begin(), end()};
}

void CTextLines::CompactIfWasteful()
{
    // Shared bytes count once per line in m_lineBytes, so a text rich in equal lines is rebuilt
    // later rather than sooner.
    if (m_bytes.size() > kMinWasteToCompact + 2 * m_lineBytes)
        Compact();
}

void CTextLines::Compact()
{
    CTextLines compact;
    compact.m_bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(m_lineBytes, m_bytes.size())));
    compact.m_refs.reserve(m_refs.size());
    LineRef previousOld{};
    LineRef previousNew{};
    for (const LineRef& ref : m_refs)
    {
        // Lines that shared bytes here share them again: the next one equal to the one before by
        // reference, and otherwise any the recent texts find.
        if (ref.length != 0 && ref.offset == previousOld.offset && ref.length == previousOld.length)
        {
            compact.m_refs.push_back(previousNew);
            continue;
        }
        const LineRef placed = compact.Place({m_bytes.data() + ref.offset, static_cast<std::size_t>(ref.length)});
        compact.m_refs.push_back(placed);
        previousOld = ref;
        previousNew = placed;
    }
    compact.m_lineBytes = m_lineBytes;
    *this = std::move(compact);
}

bool operator==(const CTextLines& a, const CTextLines& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const CTextLines& a, const std::vector<std::string>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}
