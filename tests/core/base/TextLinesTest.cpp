#include "core/base/CTextLines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> Model(const CTextLines& lines)
{
    return {lines.begin(), lines.end()};
}

} // namespace

TEST(TextLines, ChangesGiveTheLinesAVectorWouldHold)
{
    using Change = void (*)(CTextLines&);
    struct Case
    {
        const char* name;
        Change change;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"set", [](CTextLines& l) { l.Set(1, "B"); }, {"a", "B", "c"}},
        {"set empty", [](CTextLines& l) { l.Set(0, ""); }, {"", "b", "c"}},
        {"set to another line", [](CTextLines& l) { l.Set(0, l[2]); }, {"c", "b", "c"}},
        {"set to part of a line", [](CTextLines& l) { l.Set(2, l[0].substr(1)); }, {"a", "b", ""}},
        {"insert front", [](CTextLines& l) { l.Insert(0, "x"); }, {"x", "a", "b", "c"}},
        {"insert end", [](CTextLines& l) { l.Insert(3, "x"); }, {"a", "b", "c", "x"}},
        {"insert several", [](CTextLines& l) { l.Insert(1, std::vector<std::string>{"x", "y"}); },
         {"a", "x", "y", "b", "c"}},
        {"erase middle", [](CTextLines& l) { l.Erase(1); }, {"a", "c"}},
        {"erase all", [](CTextLines& l) { l.Erase(0, 3); }, {}},
        {"replace by more", [](CTextLines& l) { l.Replace(1, 1, std::vector<std::string>{"x", "y"}); },
         {"a", "x", "y", "c"}},
        {"replace by fewer", [](CTextLines& l) { l.Replace(0, 2, std::vector<std::string>{"x"}); }, {"x", "c"}},
        {"replace by none", [](CTextLines& l) { l.Replace(0, 2, {}); }, {"c"}},
        {"edits in one pass",
         [](CTextLines& l)
         {
             // Lines of the text itself among the new ones survive the buffer growing under them.
             l.Apply({{0, 0, {"<", std::string_view(l[2])}}, {1, 1, {}}, {2, 0, {l[0], ">"}}, {3, 0, {"end"}}});
         },
         {"<", "c", "a", "a", ">", "c", "end"}},
        {"push back", [](CTextLines& l) { l.PushBack("d"); }, {"a", "b", "c", "d"}},
        {"clear", [](CTextLines& l) { l.Clear(); }, {}},
    };
    for (const Case& c : cases)
    {
        CTextLines lines{"a", "b", "c"};
        c.change(lines);
        EXPECT_EQ(Model(lines), c.expected) << c.name;
        EXPECT_EQ(lines.size(), c.expected.size()) << c.name;
    }
}

TEST(TextLines, EqualLinesWrittenAgainShareTheirBytes)
{
    const std::string ogl(64, 'O');
    const std::string kon(64, 'K');
    CTextLines lines;
    for (int i = 0; i < 1000; ++i)
    {
        lines.PushBack(ogl);
        lines.PushBack("entry " + std::to_string(i));
        lines.PushBack(kon);
    }
    // The marker lines are held once, each entry line once: far below a copy per line.
    EXPECT_LT(lines.BufferBytes(), 2 * 64 + 1000 * 10);
    EXPECT_EQ(lines[2997], ogl);
    EXPECT_EQ(lines[2999], kon);
}

TEST(TextLines, LoadedBufferLinesAndCompaction)
{
    // The lines name parts of a buffer taken whole, as a loaded file gives it.
    CTextLines lines = CTextLines::FromFileBytes("head\none\r\ntwo\rx\n\n", 5);
    EXPECT_EQ(Model(lines), (std::vector<std::string>{"one", "two\rx", ""}));
    lines.Erase(2);

    // Changing a long line again and again leaves unread bytes, which are dropped once they
    // outweigh the read ones: the buffer stays within bounds of the text.
    for (int i = 0; i < 2000; ++i)
        lines.Set(1, std::string(1000, static_cast<char>('a' + i % 26)));
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], std::string(1000, static_cast<char>('a' + 1999 % 26)));
    EXPECT_LT(lines.BufferBytes(), (1 << 16) + 3 * lines.LineBytes());
}

TEST(TextLines, HeldStorageIsTheBytesAndEightBytesALine)
{
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += "line " + std::to_string(i) + "\n";
    // The buffer is the loaded bytes themselves, spare room and all.
    const std::size_t buffer = bytes.capacity();
    CTextLines lines = CTextLines::FromFileBytes(std::move(bytes), 0);
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_LE(lines.HeldBytes(), buffer + 8 * 100001);

    // Emptied by assignment or Clear, a store keeps nothing of the text it held, however the
    // empty one it took was made.
    const auto emptied = [](CTextLines& store) { return store.HeldBytes() < 64; };
    CTextLines moved = lines;
    moved = CTextLines();
    EXPECT_TRUE(emptied(moved));
    CTextLines exchanged = lines;
    CTextLines none;
    exchanged = std::move(none);
    EXPECT_TRUE(emptied(exchanged));
    CTextLines cleared = lines;
    cleared.Clear();
    EXPECT_TRUE(emptied(cleared));
    EXPECT_EQ(lines.size(), 100000u);
}

TEST(TextLines, RandomChangesMatchAVectorOfStrings)
{
    std::mt19937 random(20261211);
    auto pick = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(random); };
    const std::vector<std::string> texts = {"", "a", std::string(64, 'O'), std::string(64, 'K'),
                                            std::string(3000, 'x'), "строка"};
    auto text = [&]
    {
        std::string t = texts[pick(texts.size() - 1)];
        if (pick(3) == 0)
            t += std::to_string(pick(1000));
        return t;
    };
    CTextLines lines;
    std::vector<std::string> model;
    for (int step = 0; step < 20000; ++step)
    {
        const std::size_t n = model.size();
        switch (pick(6))
        {
        case 0:
        case 1:
        {
            const std::size_t at = pick(n);
            const std::string t = text();
            lines.Insert(at, t);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), t);
            break;
        }
        case 2:
            if (n > 0)
            {
                const std::size_t i = pick(n - 1);
                // Half the time another line of the text itself, handed over as a view of it.
                if (pick(1) == 0)
                {
                    const std::string t = text();
                    lines.Set(i, t);
                    model[i] = t;
                }
                else
                {
                    const std::size_t j = pick(n - 1);
                    lines.Set(i, lines[j]);
                    model[i] = model[j];
                }
            }
            break;
        case 3:
            if (n > 0)
            {
                const std::size_t first = pick(n - 1);
                const std::size_t count = std::min(pick(3), n - first);
                lines.Erase(first, count);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(first),
                            model.begin() + static_cast<std::ptrdiff_t>(first + count));
            }
            break;
        case 4:
        {
            const std::size_t first = pick(n);
            const std::size_t count = std::min(pick(2), n - first);
            std::vector<std::string> with(pick(3));
            for (std::string& t : with)
                t = text();
            lines.Replace(first, count, with);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(first),
                        model.begin() + static_cast<std::ptrdiff_t>(first + count));
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(first), with.begin(), with.end());
            break;
        }
        case 5:
        {
            // Two edits in one pass, the second moving a line of the text.
            const std::size_t a = pick(n);
            const std::size_t b = pick(n);
            const std::size_t first = std::min(a, b);
            const std::size_t second = std::max(a, b);
            const std::string t = text();
            std::vector<CTextLines::RangeEdit> edits{{first, 0, {t}}};
            std::string moved;
            if (second < n)
            {
                moved = model[second];
                edits.push_back({second, 1, {lines[second], lines[second]}});
            }
            lines.Apply(edits);
            if (second < n)
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(second), moved);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(first), t);
            break;
        }
        default:
            if (pick(50) == 0)
            {
                lines.Clear();
                model.clear();
            }
        }
        ASSERT_EQ(lines.size(), model.size()) << step;
        if (step % 97 == 0)
        {
            ASSERT_EQ(Model(lines), model) << step;
        }
    }
    EXPECT_EQ(Model(lines), model);
    std::size_t bytes = 0;
    for (const std::string& t : model)
        bytes += t.size();
    EXPECT_EQ(lines.LineBytes(), bytes);
    EXPECT_LE(lines.BufferBytes(), (1 << 16) + 2 * bytes + 3000);
}
