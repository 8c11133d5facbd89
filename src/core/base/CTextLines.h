#pragma once
// A document's text held once: the bytes of its lines in one buffer, and for each line where its
// bytes stand (offset and length). A line is read as a std::string_view into the buffer; a line that
// is changed or added has its bytes appended (offsets, not pointers, so the buffer may grow), and a
// text equal to one appended a moment ago, or already in the buffer, costs a reference and no bytes:
// the block marker lines a recognition writes by the thousand are stored once. When the bytes no line
// refers to outweigh the ones that are read, the buffer is rebuilt without them.
// A view handed out stays valid until the next change of the list.
// A line's place is held in 32 bits each for offset and length, eight bytes a line: the buffer holds
// at most 4 GiB, and a text that would need more is refused with std::length_error.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CTextLines
{
    struct LineRef
    {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };

public:
    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using iterator_concept = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using reference = std::string_view;
        using pointer = void;

        const_iterator() = default;
        const_iterator(const CTextLines* lines, std::size_t index) : m_lines(lines), m_index(index) {}
        std::string_view operator*() const { return (*m_lines)[m_index]; }
        std::string_view operator[](difference_type n) const
        {
            return (*m_lines)[m_index + static_cast<std::size_t>(n)];
        }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++m_index;
            return old;
        }
        const_iterator& operator--()
        {
            --m_index;
            return *this;
        }
        const_iterator operator--(int)
        {
            const_iterator old = *this;
            --m_index;
            return old;
        }
        const_iterator& operator+=(difference_type n)
        {
            m_index += static_cast<std::size_t>(n);
            return *this;
        }
        const_iterator& operator-=(difference_type n)
        {
            m_index -= static_cast<std::size_t>(n);
            return *this;
        }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b)
        {
            return static_cast<difference_type>(a.m_index) - static_cast<difference_type>(b.m_index);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.m_index == b.m_index; }
        friend bool operator<(const const_iterator& a, const const_iterator& b) { return a.m_index < b.m_index; }
        friend bool operator>(const const_iterator& a, const const_iterator& b) { return a.m_index > b.m_index; }
        friend bool operator<=(const const_iterator& a, const const_iterator& b) { return a.m_index <= b.m_index; }
        friend bool operator>=(const const_iterator& a, const const_iterator& b) { return a.m_index >= b.m_index; }

    private:
        const CTextLines* m_lines = nullptr;
        std::size_t m_index = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    // A run of lines replaced by others (count 0 inserts in front of first, no lines erases).
    struct RangeEdit
    {
        std::size_t first = 0;
        std::size_t count = 0;
        std::vector<std::string_view> lines;
    };

    // The most bytes the buffer holds.
    static constexpr std::size_t kMaxBufferBytes = UINT32_MAX;

    CTextLines() = default;
    CTextLines(const CTextLines&) = default;
    CTextLines(CTextLines&&) noexcept = default;
    CTextLines& operator=(const CTextLines&) = default;
    // The lines moved in, and the buffer held before released (a string assigned a short one would
    // keep its storage: an emptied text would go on holding the whole of the last one).
    CTextLines& operator=(CTextLines&& other) noexcept;
    CTextLines(std::initializer_list<std::string_view> lines);
    // Lines made elsewhere (a test's text, a small list) become a store of their own.
    CTextLines(const std::vector<std::string>& lines);
    // Lines first ... first + count - 1 of other, in a buffer of their own.
    CTextLines(const CTextLines& other, std::size_t first, std::size_t count);
    // The lines of bytes from offset from on, cut as a file's lines are (FileLines.h; bytes hold no
    // 0x1A), with bytes as the buffer: a loaded file becomes the text without a copy of any line.
    // maxLines, when not 0, is at least the number of lines (a loader that counted the line ends as
    // it read spares the extra pass over the text that counts them here).
    static CTextLines FromFileBytes(std::string bytes, std::size_t from, std::size_t maxLines = 0);

    std::size_t size() const { return m_refs.size(); }
    bool empty() const { return m_refs.empty(); }
    std::string_view operator[](std::size_t i) const
    {
        const LineRef& ref = m_refs[i];
        return {m_bytes.data() + ref.offset, static_cast<std::size_t>(ref.length)};
    }
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Room for lines lines and bytes bytes of text to be added.
    void Reserve(std::size_t lines, std::size_t bytes = 0)
    {
        m_refs.reserve(lines);
        m_bytes.reserve(m_bytes.size() + bytes);
    }

    void Set(std::size_t i, std::string_view text);
    void PushBack(std::string_view text);
    void Insert(std::size_t at, std::string_view text);
    void Insert(std::size_t at, std::span<const std::string> texts);
    void Erase(std::size_t first, std::size_t count = 1);
    void Replace(std::size_t first, std::size_t count, std::span<const std::string> texts);
    // Every edit in one pass over the list; edits are sorted by first, their runs do not overlap, and
    // insertions at the same line keep their order.
    void Apply(const std::vector<RangeEdit>& edits);

    // The list made anew in one pass, for many insertions at once without a list of them: runs of
    // the present lines (Keep) and new texts (Add) in the order of the new list, then Finish. Until
    // then the lines are not to be read.
    class Rebuild
    {
    public:
        Rebuild(CTextLines& lines, std::size_t newSize);
        void Keep(std::size_t first, std::size_t count);
        void Add(std::string_view text);
        void Finish();

    private:
        CTextLines& m_lines;
        std::vector<LineRef> m_old;
    };
    void Clear();

    // The number of bytes held (the buffer), and the number the lines read: what a test of the
    // memory a store takes looks at.
    std::size_t BufferBytes() const { return m_bytes.size(); }
    std::size_t LineBytes() const { return m_lineBytes; }
    // The storage the store has taken, spare room included: buffer and references.
    std::size_t HeldBytes() const { return m_bytes.capacity() + m_refs.capacity() * sizeof(LineRef); }

    std::vector<std::string> ToVector() const;

    friend bool operator==(const CTextLines& a, const CTextLines& b);
    friend bool operator==(const CTextLines& a, const std::vector<std::string>& b);

private:
    // Where the bytes of text stand once added: in place when text already lies in the buffer, at
    // a recently added equal text, or appended.
    LineRef Place(std::string_view text);
    // Place for each text, the views into the buffer found before anything is appended.
    std::vector<LineRef> PlaceAll(std::span<const std::string_view> texts);
    std::optional<LineRef> InBuffer(std::string_view text) const;
    // Drops the bytes no line reads once they outweigh those that are read.
    void CompactIfWasteful();
    void AddLineAt(std::size_t offset, std::size_t length);
    // The reference of length bytes at offset, which lie in the buffer.
    static LineRef RefAt(std::size_t offset, std::size_t length)
    {
        return {static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)};
    }
    // Refuses a buffer of size bytes: more than a reference can address.
    static void CheckBufferSize(std::size_t size);
    void Compact();

    std::string m_bytes;
    std::vector<LineRef> m_refs;
    std::uint64_t m_lineBytes = 0; // the sum of the lines' lengths (shared bytes counted each time)
    // The latest texts appended, most recent first: where an equal text is found again.
    static constexpr std::size_t kRecent = 8;
    std::array<LineRef, kRecent> m_recent{};
    std::size_t m_recentCount = 0;
};
